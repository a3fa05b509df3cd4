#include "support/fake_engine.h"

#include "engine_kit/class_ids.h"
#include "engine_kit/component_service.h"

namespace velscript::test {

namespace {

int& nextSerial()
{
    static int serial = 0;
    return serial;
}

} // namespace

QString describe(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Missing:
        return QStringLiteral("<missing>");
    case Variant::Kind::Null:
        return QStringLiteral("<null>");
    case Variant::Kind::Object:
        return QStringLiteral("<object>");
    default:
        return value.toText();
    }
}

RecordingEngine::RecordingEngine() : serial(nextSerial()++)
{
    made().append(this);
}

RecordingEngine::~RecordingEngine()
{
    journal().append(QStringLiteral("%1:end").arg(serial));
}

QStringList& RecordingEngine::journal()
{
    static QStringList entries;
    return entries;
}

QList<QPointer<RecordingEngine>>& RecordingEngine::made()
{
    static QList<QPointer<RecordingEngine>> engines;
    return engines;
}

void RecordingEngine::resetAll()
{
    journal().clear();
    made().clear();
}

void RecordingEngine::record(const QString& entry)
{
    calls.append(entry);
    journal().append(QStringLiteral("%1:%2").arg(serial).arg(entry));
}

Result<Variant> RecordingEngine::read(const QString& operation)
{
    record(operation);
    return answer(operation);
}

Result<Variant> RecordingEngine::answer(const QString& operation) const
{
    if (m_failures.contains(operation))
        return fail(m_failures.value(operation));
    return m_values.value(operation);
}

Result<> RecordingEngine::write(const QString& operation, const Variant& value)
{
    record(operation + u'=' + describe(value));
    for (const QString& key : {operation + u'=', operation})
        if (m_failures.contains(key))
            return fail(m_failures.value(key));
    m_values[operation] = value;
    return {};
}

Result<> RecordingEngine::call(const QString& operation, const QStringList& arguments)
{
    record(arguments.isEmpty() ? operation : operation + u'=' + arguments.join(u','));
    if (m_failures.contains(operation))
        return fail(m_failures.value(operation));
    return {};
}

template <class T> static Result<T> as(Result<Variant> value, T (Variant::*convert)() const)
{
    if (!value)
        return fail(value.error());
    return ((*value).*convert)();
}

static Result<QString> asText(Result<Variant> value)
{
    if (!value)
        return fail(value.error());
    return value->toText();
}

Result<> RecordingEngine::Create(const Variant& o)
{
    return call("Create", {describe(o)});
}
Result<> RecordingEngine::Release(const Variant& o)
{
    return call("Release", {describe(o)});
}
Result<> RecordingEngine::Show(const Variant& o)
{
    remember("Show", o);
    return call("Show", {describe(o)});
}
Result<> RecordingEngine::Hide(const Variant& o)
{
    remember("Hide", o);
    return call("Hide", {describe(o)});
}
Result<Boolean> RecordingEngine::Visible()
{
    return as(read("Visible"), &Variant::boolean);
}
Result<> RecordingEngine::Visible(Boolean v)
{
    return write("Visible", Variant::fromBoolean(v));
}
Result<Boolean> RecordingEngine::ReadOnly()
{
    return as(read("ReadOnly"), &Variant::boolean);
}
Result<> RecordingEngine::ReadOnly(Boolean v)
{
    return write("ReadOnly", Variant::fromBoolean(v));
}
Result<Boolean> RecordingEngine::Modified()
{
    return as(read("Modified"), &Variant::boolean);
}
Result<> RecordingEngine::Modified(Boolean v)
{
    return write("Modified", Variant::fromBoolean(v));
}
Result<> RecordingEngine::GUIEnabled(const QString& name, Boolean v)
{
    return call("GUIEnabled", {name, describe(Variant::fromBoolean(v))});
}
Result<Boolean> RecordingEngine::GUIEnabled(const QString& name)
{
    record("GUIEnabled?" + name);
    return as(answer("GUIEnabled"), &Variant::boolean);
}
Result<qint32> RecordingEngine::hWnd()
{
    return as(read("hWnd"), &Variant::integer);
}
Result<Boolean> RecordingEngine::Open(const QString& path, const Variant& o)
{
    remember("Open", o);
    record("Open=" + path + ',' + describe(o));
    return as(answer("OpenResult"), &Variant::boolean);
}
Result<Boolean> RecordingEngine::Save(const QString& path, const Variant& o)
{
    remember("Save", o);
    record("Save=" + path + ',' + describe(o));
    return as(answer("SaveResult"), &Variant::boolean);
}
Result<QString> RecordingEngine::FileName()
{
    return asText(read("FileName"));
}
Result<> RecordingEngine::New(const Variant& o)
{
    return call("New", {describe(o)});
}
Result<Boolean> RecordingEngine::Check(const Variant&)
{
    return as(read("Check"), &Variant::boolean);
}
Result<> RecordingEngine::Start(qint32 mode, const Variant& o)
{
    remember("Start", o);
    return call("Start", {QString::number(mode), describe(o)});
}
Result<> RecordingEngine::Stop(qint32 mode, const Variant& o)
{
    remember("Stop", o);
    return call("Stop", {QString::number(mode), describe(o)});
}
Result<Boolean> RecordingEngine::Wait(qint32 timeoutMs, const Variant&)
{
    record("Wait=" + QString::number(timeoutMs));
    return True;
}
Result<> RecordingEngine::AddObject(const QString& name, ObjectRef& object)
{
    addedObjects.append(object);
    const QString given = object ? QStringLiteral("<object>") : QStringLiteral("<none>");
    if (addObjectReplacement)
        object = *addObjectReplacement;
    return call("AddObject", {name, given});
}
Result<> RecordingEngine::RemoveObject(const QString& name)
{
    return call("RemoveObject", {name});
}
Result<> RecordingEngine::ClearLog()
{
    return call("ClearLog");
}
Result<qint32> RecordingEngine::State()
{
    return as(read("State"), &Variant::integer);
}
Result<qint32> RecordingEngine::LineNumber()
{
    return as(read("LineNumber"), &Variant::integer);
}
Result<QString> RecordingEngine::Text()
{
    return asText(read("Text"));
}
Result<> RecordingEngine::Text(const QString& v)
{
    return write("Text", v);
}
Result<QString> RecordingEngine::StartUp()
{
    return asText(read("StartUp"));
}
Result<> RecordingEngine::StartUp(const QString& v)
{
    return write("StartUp", v);
}
Result<Variant> RecordingEngine::ExitCode()
{
    return read("ExitCode");
}
Result<QString> RecordingEngine::Log()
{
    return asText(read("Log"));
}
Result<QString> RecordingEngine::LastLog()
{
    return asText(read("LastLog"));
}
Result<Variant> RecordingEngine::Tag()
{
    return read("Tag");
}
Result<> RecordingEngine::Tag(const Variant& v)
{
    return write("Tag", v);
}
Result<Variant> RecordingEngine::Execute(const QString& statement, const Variant& argument)
{
    remember("Execute", argument);
    record("Execute=" + statement + ',' + describe(argument));
    if (m_failures.contains("Execute"))
        return fail(m_failures.value("Execute"));
    return m_values.value("Execute");
}

QVariant FakeEngine::scriptStateValue()
{
    record(QStringLiteral("ScriptState"));
    return scriptState;
}

FakeEngineRegistration::FakeEngineRegistration()
    : FakeEngineRegistration([] { return new FakeEngine; })
{}

FakeEngineRegistration::FakeEngineRegistration(std::function<QObject*()> maker)
{
    ComponentService::instance().registerClass(VelScriptEngineClassId, std::move(maker));
}

FakeEngineRegistration::~FakeEngineRegistration()
{
    ComponentService::instance().unregisterClass(VelScriptEngineClassId);
}

} // namespace velscript::test

#include "moc_fake_engine.cpp" // compiled here, with the precompiled Qt headers of this file
