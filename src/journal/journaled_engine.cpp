#include "journal/journaled_engine.h"

#include "journal/journal.h"
#include "journal/journal_entry.h"
#include "journal/variant_json.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace velscript::journal {

namespace {

// Everything an entry starts with: when, which engine, what.
QJsonObject header(const QDateTime& time, qint32 number, qint32 instance, const QString& op)
{
    return QJsonObject{{field::Time, time.toString(Qt::ISODateWithMs)},
                       {field::Engine, number},
                       {field::Instance, instance},
                       {field::Operation, op}};
}

QJsonArray encodeAll(const QList<Variant>& values)
{
    QJsonArray encoded;
    for (const Variant& value : values)
        encoded.append(encode(value));
    return encoded;
}

qint64 microseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1000;
}

} // namespace

std::shared_ptr<JournaledEngine> JournaledEngine::create(const QString& classId, qint32 number)
{
    Journal& journal = Journal::instance();
    const qint32 instance = journal.nextInstance();
    QJsonObject entry =
        header(QDateTime::currentDateTimeUtc(), number, instance, operation::InstanceCreate);
    entry.insert(field::Arguments, encodeAll({Variant(classId)}));
    QElapsedTimer timer;
    timer.start();
    try {
        ObjectRef object = ComponentService::instance().create(classId);
        VelScriptEngine* engine = object ? query<VelScriptEngine>(object) : nullptr;
        entry.insert(field::Result, encode(object ? Variant(object) : Variant()));
        entry.insert(field::Micros, microseconds(timer));
        journal.write(entry);
        if (!engine)
            return nullptr;
        return std::shared_ptr<JournaledEngine>(
            new JournaledEngine(std::move(object), engine, number, instance));
    } catch (const Failure& failure) {
        entry.insert(field::Failure, failure.description());
        entry.insert(field::Micros, microseconds(timer));
        journal.write(entry);
        throw;
    }
}

JournaledEngine::JournaledEngine(ObjectRef object, VelScriptEngine* engine, qint32 number,
                                 qint32 instance)
    : m_object(std::move(object)), m_engine(engine), m_number(number), m_instance(instance)
{}

JournaledEngine::~JournaledEngine()
{
    QJsonObject entry =
        header(QDateTime::currentDateTimeUtc(), m_number, m_instance, operation::InstanceEnd);
    entry.insert(field::Arguments, QJsonArray());
    Journal::instance().write(entry);
}

Outcome JournaledEngine::forward(Operation operation, QList<Variant>& arguments)
{
    const QList<Variant> handed = arguments;
    QJsonObject entry = header(QDateTime::currentDateTimeUtc(), m_number, m_instance,
                               QLatin1StringView(info(operation).journalName));
    entry.insert(field::Arguments, encodeAll(handed));
    QJsonObject begun = entry;
    begun.insert(field::Begun, true);
    Journal::instance().write(begun);

    QElapsedTimer timer;
    timer.start();
    Outcome outcome;
    try {
        outcome = callOperation(*m_engine, operation, arguments);
    } catch (const std::exception& thrown) {
        // An engine in process that throws has still answered: the window shows what it threw.
        entry.insert(field::Failure, QString::fromLocal8Bit(thrown.what()));
        entry.insert(field::Micros, microseconds(timer));
        Journal::instance().write(entry);
        throw;
    }
    const qint64 duration = microseconds(timer);

    insertOutcome(entry, operation, outcome, handed, arguments);
    entry.insert(field::Micros, duration);
    Journal::instance().write(entry);
    return outcome;
}

Variant JournaledEngine::property(const char* name)
{
    const QDateTime time = QDateTime::currentDateTimeUtc();
    QElapsedTimer timer;
    timer.start();
    QJsonObject entry =
        header(time, m_number, m_instance, QLatin1StringView(name) + QStringLiteral(".get"));
    entry.insert(field::ByName, true);
    entry.insert(field::Arguments, QJsonArray());
    try {
        const Variant value = readProperty(*m_object, name);
        entry.insert(field::Result, encode(value));
        entry.insert(field::Micros, microseconds(timer));
        Journal::instance().write(entry);
        return value;
    } catch (const Failure& failure) {
        entry.insert(field::Failure, failure.description());
        entry.insert(field::Micros, microseconds(timer));
        Journal::instance().write(entry);
        throw;
    }
}

} // namespace velscript::journal
