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

QJsonArray encodeAll(std::initializer_list<Variant> values)
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

template <class T, class Call>
Result<T> JournaledEngine::recorded(const char* op, std::initializer_list<Variant> arguments,
                                    Call&& call)
{
    const QDateTime time = QDateTime::currentDateTimeUtc();
    QElapsedTimer timer;
    timer.start();
    Result<T> result = std::forward<Call>(call)();
    const qint64 duration = microseconds(timer);

    QJsonObject entry = header(time, m_number, m_instance, QLatin1StringView(op));
    entry.insert(field::Arguments, encodeAll(arguments));
    insertOutcome(entry, result);
    entry.insert(field::Micros, duration);
    Journal::instance().write(entry);
    return result;
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

Result<> JournaledEngine::Create(const Variant& option)
{
    return recorded<void>("Create", {option}, [&] { return m_engine->Create(option); });
}
Result<> JournaledEngine::Release(const Variant& option)
{
    return recorded<void>("Release", {option}, [&] { return m_engine->Release(option); });
}
Result<> JournaledEngine::Show(const Variant& option)
{
    return recorded<void>("Show", {option}, [&] { return m_engine->Show(option); });
}
Result<> JournaledEngine::Hide(const Variant& option)
{
    return recorded<void>("Hide", {option}, [&] { return m_engine->Hide(option); });
}
Result<Boolean> JournaledEngine::Visible()
{
    return recorded<Boolean>("Visible.get", {}, [&] { return m_engine->Visible(); });
}
Result<> JournaledEngine::Visible(Boolean value)
{
    return recorded<void>("Visible.put", {Variant::fromBoolean(value)},
                          [&] { return m_engine->Visible(value); });
}
Result<Boolean> JournaledEngine::ReadOnly()
{
    return recorded<Boolean>("ReadOnly.get", {}, [&] { return m_engine->ReadOnly(); });
}
Result<> JournaledEngine::ReadOnly(Boolean value)
{
    return recorded<void>("ReadOnly.put", {Variant::fromBoolean(value)},
                          [&] { return m_engine->ReadOnly(value); });
}
Result<Boolean> JournaledEngine::Modified()
{
    return recorded<Boolean>("Modified.get", {}, [&] { return m_engine->Modified(); });
}
Result<> JournaledEngine::Modified(Boolean value)
{
    return recorded<void>("Modified.put", {Variant::fromBoolean(value)},
                          [&] { return m_engine->Modified(value); });
}
Result<> JournaledEngine::GUIEnabled(const QString& name, Boolean value)
{
    return recorded<void>("GUIEnabled.put", {Variant(name), Variant::fromBoolean(value)},
                          [&] { return m_engine->GUIEnabled(name, value); });
}
Result<Boolean> JournaledEngine::GUIEnabled(const QString& name)
{
    return recorded<Boolean>("GUIEnabled.get", {Variant(name)},
                             [&] { return m_engine->GUIEnabled(name); });
}
Result<qint32> JournaledEngine::hWnd()
{
    return recorded<qint32>("hWnd.get", {}, [&] { return m_engine->hWnd(); });
}
Result<Boolean> JournaledEngine::Open(const QString& path, const Variant& option)
{
    return recorded<Boolean>("Open", {Variant(path), option},
                             [&] { return m_engine->Open(path, option); });
}
Result<Boolean> JournaledEngine::Save(const QString& path, const Variant& option)
{
    return recorded<Boolean>("Save", {Variant(path), option},
                             [&] { return m_engine->Save(path, option); });
}
Result<QString> JournaledEngine::FileName()
{
    return recorded<QString>("FileName.get", {}, [&] { return m_engine->FileName(); });
}
Result<> JournaledEngine::New(const Variant& option)
{
    return recorded<void>("New", {option}, [&] { return m_engine->New(option); });
}
Result<Boolean> JournaledEngine::Check(const Variant& option)
{
    return recorded<Boolean>("Check", {option}, [&] { return m_engine->Check(option); });
}
Result<> JournaledEngine::Start(qint32 mode, const Variant& option)
{
    return recorded<void>("Start", {Variant(mode), option},
                          [&] { return m_engine->Start(mode, option); });
}
Result<> JournaledEngine::Stop(qint32 mode, const Variant& option)
{
    return recorded<void>("Stop", {Variant(mode), option},
                          [&] { return m_engine->Stop(mode, option); });
}
Result<Boolean> JournaledEngine::Wait(qint32 timeoutMs, const Variant& option)
{
    return recorded<Boolean>("Wait", {Variant(timeoutMs), option},
                             [&] { return m_engine->Wait(timeoutMs, option); });
}
Result<> JournaledEngine::AddObject(const QString& name, ObjectRef& object)
{
    // The argument goes in and comes back: record which object the engine left in it.
    const ObjectRef handed = object;
    const QDateTime time = QDateTime::currentDateTimeUtc();
    QElapsedTimer timer;
    timer.start();
    Result<> result = m_engine->AddObject(name, object);
    const qint64 duration = microseconds(timer);

    QJsonObject entry = header(time, m_number, m_instance, QStringLiteral("AddObject"));
    entry.insert(field::Arguments, encodeAll({Variant(name), Variant(handed)}));
    if (result) {
        entry.insert(field::Result, encode(Variant(object)));
        entry.insert(field::Same, object == handed);
    } else {
        entry.insert(field::Failure, result.error());
    }
    entry.insert(field::Micros, duration);
    Journal::instance().write(entry);
    return result;
}
Result<> JournaledEngine::RemoveObject(const QString& name)
{
    return recorded<void>("RemoveObject", {Variant(name)},
                          [&] { return m_engine->RemoveObject(name); });
}
Result<> JournaledEngine::ClearLog()
{
    return recorded<void>("ClearLog", {}, [&] { return m_engine->ClearLog(); });
}
Result<qint32> JournaledEngine::State()
{
    return recorded<qint32>("State.get", {}, [&] { return m_engine->State(); });
}
Result<qint32> JournaledEngine::LineNumber()
{
    return recorded<qint32>("LineNumber.get", {}, [&] { return m_engine->LineNumber(); });
}
Result<QString> JournaledEngine::Text()
{
    return recorded<QString>("Text.get", {}, [&] { return m_engine->Text(); });
}
Result<> JournaledEngine::Text(const QString& value)
{
    return recorded<void>("Text.put", {Variant(value)}, [&] { return m_engine->Text(value); });
}
Result<QString> JournaledEngine::StartUp()
{
    return recorded<QString>("StartUp.get", {}, [&] { return m_engine->StartUp(); });
}
Result<> JournaledEngine::StartUp(const QString& value)
{
    return recorded<void>("StartUp.put", {Variant(value)},
                          [&] { return m_engine->StartUp(value); });
}
Result<Variant> JournaledEngine::ExitCode()
{
    return recorded<Variant>("ExitCode.get", {}, [&] { return m_engine->ExitCode(); });
}
Result<QString> JournaledEngine::Log()
{
    return recorded<QString>("Log.get", {}, [&] { return m_engine->Log(); });
}
Result<QString> JournaledEngine::LastLog()
{
    return recorded<QString>("LastLog.get", {}, [&] { return m_engine->LastLog(); });
}
Result<Variant> JournaledEngine::Tag()
{
    return recorded<Variant>("Tag.get", {}, [&] { return m_engine->Tag(); });
}
Result<> JournaledEngine::Tag(const Variant& value)
{
    return recorded<void>("Tag.put", {value}, [&] { return m_engine->Tag(value); });
}
Result<Variant> JournaledEngine::Execute(const QString& statement, const Variant& argument)
{
    return recorded<Variant>("Execute", {Variant(statement), argument},
                             [&] { return m_engine->Execute(statement, argument); });
}

} // namespace velscript::journal
