#include "journal/journal_entry.h"

#include "journal/variant_json.h"

#include <QJsonArray>
#include <QStringList>

namespace velscript::journal {

QString readableOutcome(const QJsonObject& entry)
{
    if (entry.contains(field::Failure))
        return QStringLiteral("failed ") + quoted(entry.value(field::Failure).toString());
    if (!entry.contains(field::Result))
        return QStringLiteral("ok");
    QString outcome = readable(entry.value(field::Result).toObject());
    if (entry.contains(field::Same) && !entry.value(field::Same).toBool())
        outcome += QStringLiteral(" in place of the object handed over");
    return outcome;
}

QString readableLine(const QJsonObject& entry)
{
    const QString op = entry.value(field::Operation).toString();
    if (op == operation::Session) {
        return QStringLiteral("session of %1 (process %2) at %3")
            .arg(entry.value(field::Program).toString())
            .arg(entry.value(field::Process).toInteger())
            .arg(entry.value(field::Time).toString());
    }
    QStringList arguments;
    for (const QJsonValue& argument : entry.value(field::Arguments).toArray())
        arguments.append(readable(argument.toObject()));
    QString line = QStringLiteral("engine %1 %2(%3)")
                       .arg(entry.value(field::Engine).toInteger())
                       .arg(op, arguments.join(QStringLiteral(", ")));
    if (op != operation::InstanceEnd)
        line += QStringLiteral(" -> ") + readableOutcome(entry);
    if (entry.contains(field::Micros))
        line += QStringLiteral(" (%1 µs)").arg(entry.value(field::Micros).toInteger());
    return line;
}

} // namespace velscript::journal
