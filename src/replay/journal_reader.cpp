#include "replay/journal_reader.h"

#include "journal/journal_entry.h"
#include "journal/variant_json.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <map>

#include <limits>
#include <optional>

namespace velscript::replay {

namespace {

namespace field = journal::field;
namespace operation = journal::operation;

// An engine's number or instance: a whole number in 32 bits. Anything else would name another
// engine once cut to fit (1.5 and 4294967296 both read as 0).
std::optional<qint32> engineNumber(const QJsonValue& value)
{
    const qint64 number = value.toInteger(-1);
    if (!value.isDouble() || number < 0 || number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(number);
}

// Checks one entry; returns what is wrong with it, or nothing. known holds the instances created
// so far in the current session.
QString check(JournalLine& line, QSet<qint32>& known)
{
    const QJsonObject& entry = line.entry;
    line.op = entry.value(field::Operation).toString();
    if (line.op.isEmpty())
        return QStringLiteral("the entry names no operation (\"op\")");
    if (line.op == operation::Session) {
        known.clear();
        return {};
    }
    const auto engine = engineNumber(entry.value(field::Engine));
    const auto instance = engineNumber(entry.value(field::Instance));
    if (!engine || !instance)
        return QStringLiteral("%1 names no engine and instance (whole numbers from 0)")
            .arg(line.op);
    line.engine = *engine;
    line.instance = *instance;

    if (!entry.value(field::Arguments).isArray())
        return QStringLiteral("%1 has no argument list (\"args\")").arg(line.op);
    for (const QJsonValue& argument : entry.value(field::Arguments).toArray()) {
        const auto value = journal::decode(argument.toObject());
        if (!value)
            return QStringLiteral("an argument of %1 is %2").arg(line.op, value.error());
        line.arguments.append(*value);
    }
    if (entry.contains(field::Result)) {
        const auto value = journal::decode(entry.value(field::Result).toObject());
        if (!value)
            return QStringLiteral("the result of %1 is %2").arg(line.op, value.error());
    }

    if (entry.contains(field::Compare)) {
        const QString how = entry.value(field::Compare).toString();
        namespace comparison = journal::comparison;
        if (how != comparison::Value && how != comparison::Failed && how != comparison::None)
            return QStringLiteral("%1 asks for a comparison that is none of \"value\", "
                                  "\"failed\" and \"none\"")
                .arg(line.op);
    }

    if (line.op == operation::InstanceCreate) {
        if (line.arguments.size() != 1 || line.arguments[0].kind() != Variant::Kind::Text)
            return QStringLiteral("%1 does not name one class id").arg(line.op);
        known.insert(line.instance);
        return {};
    }
    if (!known.contains(line.instance)) {
        return QStringLiteral("%1 is on engine %2 (instance %3), which this session did not "
                              "create")
            .arg(line.op)
            .arg(line.engine)
            .arg(line.instance);
    }
    if (line.op == operation::InstanceEnd) {
        known.remove(line.instance);
        return {};
    }
    line.byName = entry.value(field::ByName).toBool();
    if (line.byName) {
        if (!line.op.endsWith(QStringLiteral(".get")) || !line.arguments.isEmpty())
            return QStringLiteral("%1 is not a read by name").arg(line.op);
        return {};
    }
    line.operation = findOperation(line.op);
    if (!line.operation)
        return QStringLiteral("%1 is not an operation of the engine").arg(line.op);
    const QLatin1StringView kinds(line.operation->argumentKinds);
    bool fitting = line.arguments.size() == kinds.size();
    for (qsizetype i = 0; fitting && i < kinds.size(); ++i)
        fitting = fitsKind(line.arguments[i].kind(), kinds[i].toLatin1());
    if (!fitting)
        return QStringLiteral("the arguments of %1 do not fit the operation").arg(line.op);
    return {};
}

} // namespace

std::expected<Journal, QString> readJournal(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray content = file.readAll();
    const QList<QByteArray> lines = content.split('\n');

    Journal journal;
    QSet<qint32> known;
    // A call is written as it begins and again as it ends; only a beginning without its end
    // stays, as the call during which the writer ended.
    std::map<qint32, qsizetype> begun; // by instance: the index of its open beginning
    QList<qsizetype> finished;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray text = lines[i].trimmed();
        if (text.isEmpty())
            continue;
        const int number = i + 1;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(text, &error);
        // Only the last line can lack its end; a writer killed in the middle of it left it so.
        const bool unfinished = i == lines.size() - 1;
        if (document.isNull() && unfinished) {
            journal.cutOffLine = number;
            break;
        }
        if (!document.isObject()) {
            const QString what =
                document.isNull() ? error.errorString() : QStringLiteral("not a JSON object");
            return std::unexpected(
                QStringLiteral("%1:%2: not a journal entry: %3").arg(path).arg(number).arg(what));
        }
        JournalLine line;
        line.line = number;
        line.entry = document.object();
        if (const QString problem = check(line, known); !problem.isEmpty())
            return std::unexpected(QStringLiteral("%1:%2: %3").arg(path).arg(number).arg(problem));
        if (line.op == operation::Session)
            begun.clear();
        if (line.entry.value(field::Begun).toBool()) {
            line.unfinished = true;
            begun[line.instance] = journal.lines.size();
        } else if (const auto open = begun.find(line.instance); open != begun.end()) {
            if (journal.lines[open->second].op == line.op)
                finished.append(open->second);
            begun.erase(open);
        }
        journal.lines.append(std::move(line));
    }
    for (auto i = finished.crbegin(); i != finished.crend(); ++i)
        journal.lines.removeAt(*i);
    return journal;
}

} // namespace velscript::replay
