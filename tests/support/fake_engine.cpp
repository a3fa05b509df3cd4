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

Outcome RecordingEngine::answer(const QString& operation) const
{
    if (m_failures.contains(operation))
        return Outcome::failedWith(m_failures.value(operation));
    return Outcome::of(m_values.value(operation));
}

Outcome RecordingEngine::forward(Operation operation, QList<Variant>& arguments)
{
    const OperationInfo& about = info(operation);
    const QString member = QLatin1StringView(about.member);
    const QLatin1StringView journalName(about.journalName);
    QStringList described;
    for (const Variant& argument : std::as_const(arguments))
        described.append(describe(argument));
    const QString withArguments =
        described.isEmpty() ? member : member + u'=' + described.join(u',');
    // The kind of value an operation passed on, which its recorded call shows only as text.
    if (!arguments.isEmpty() && QLatin1StringView(about.argumentKinds).endsWith(u'V'))
        m_passed[member] = arguments.last();

    switch (operation) {
    case Operation::GUIEnabledGet:
        record("GUIEnabled?" + arguments[0].toText());
        return answer("GUIEnabled");
    case Operation::Check:
        record(member);
        return answer(member);
    case Operation::Wait:
        record("Wait=" + described[0]);
        return Outcome::of(Variant::fromBoolean(True));
    case Operation::Open:
    case Operation::Save:
        record(withArguments);
        return answer(member + "Result");
    case Operation::AddObject: {
        addedObjects.append(arguments[1].object());
        record("AddObject=" + arguments[0].toText() + u',' +
               (arguments[1].object() ? QStringLiteral("<object>") : QStringLiteral("<none>")));
        if (addObjectReplacement)
            arguments[1] = Variant(*addObjectReplacement);
        if (m_failures.contains(member))
            return Outcome::failedWith(m_failures.value(member));
        return {};
    }
    default:
        break;
    }
    if (journalName.endsWith(QLatin1StringView(".get"))) {
        record(member);
        return answer(member);
    }
    if (journalName.endsWith(QLatin1StringView(".put")) && arguments.size() == 1) {
        record(withArguments);
        for (const QString& key : {member + u'=', member})
            if (m_failures.contains(key))
                return Outcome::failedWith(m_failures.value(key));
        m_values[member] = arguments[0];
        return {};
    }
    // Any other call: recorded with its arguments; it answers its set value when it has one.
    record(withArguments);
    if (m_failures.contains(member))
        return Outcome::failedWith(m_failures.value(member));
    return about.hasResult ? Outcome::of(m_values.value(member)) : Outcome();
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
