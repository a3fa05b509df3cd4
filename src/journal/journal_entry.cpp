#include "journal/journal_entry.h"

#include "journal/variant_json.h"

#include <QJsonArray>
#include <QStringList>

namespace velscript::journal {

void insertOutcome(QJsonObject& entry, Operation operation, const Outcome& outcome,
                   const QList<Variant>& handed, const QList<Variant>& after)
{
    if (outcome.failed) {
        entry.insert(field::Failure, outcome.failure);
        if (outcome.ended)
            entry.insert(field::Ended, true);
        return;
    }
    const QLatin1StringView kinds(info(operation).argumentKinds);
    if (const qsizetype replaced = kinds.indexOf(u'O'); replaced >= 0 && replaced < after.size()) {
        entry.insert(field::Result, encode(after[replaced]));
        entry.insert(field::Same, after[replaced] == handed.value(replaced));
        return;
    }
    if (info(operation).hasResult)
        entry.insert(field::Result, encode(outcome.value));
}

QString readableOutcome(const QJsonObject& entry)
{
    if (entry.value(field::Ended).toBool() || entry.value(field::Begun).toBool())
        return QStringLiteral("the engine ending");
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
    if (entry.value(field::Begun).toBool())
        line += QStringLiteral(" begins");
    else if (op != operation::InstanceEnd)
        line += QStringLiteral(" -> ") + readableOutcome(entry);
    if (entry.contains(field::Micros))
        line += QStringLiteral(" (%1 µs)").arg(entry.value(field::Micros).toInteger());
    return line;
}

} // namespace velscript::journal
