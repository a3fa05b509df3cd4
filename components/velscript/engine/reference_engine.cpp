#include "engine/reference_engine.h"
#include "engine_kit/add_in.h"

#include "engine/add_in_bridge.h"
#include "engine/engine_window.h"
#include "engine/script_runner.h"

#include <QMetaMethod>
#include <QRegularExpression>

namespace velscript::engine {

namespace {

bool isIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

} // namespace

ReferenceEngine::ReferenceEngine() = default;

ReferenceEngine::~ReferenceEngine()
{
    // The script is stopped and its thread joined before the objects it may call go.
    m_runner.reset();
    delete m_window.data();
}

int ReferenceEngine::scriptState() const
{
    return m_runner ? int(m_runner->state()) : 0;
}

Result<> ReferenceEngine::ready() const
{
    if (m_released)
        return fail(QStringLiteral("The engine has been released."));
    if (!m_created)
        return fail(QStringLiteral("The engine is not created yet: call Create first."));
    return {};
}

Result<> ReferenceEngine::idle(const QString& refusal) const
{
    if (auto ok = ready(); !ok)
        return ok;
    if (m_runner->state() != ScriptState::Idle)
        return fail(QStringLiteral("A script is running: %1").arg(refusal));
    return {};
}

void ReferenceEngine::updateProgram()
{
    Program program{m_text, m_startUp, {}};
    for (const AddedObject& added : m_objects)
        program.objects.emplace_back(added.name, added.bridge);
    m_runner->setProgram(std::move(program));
}

void ReferenceEngine::setText(const QString& text, bool modified)
{
    m_text = text;
    m_modified = modified;
    m_runner->resetBreakpoints(text);
    updateProgram();
    emit textChanged();
}

Result<> ReferenceEngine::Create(const Variant&)
{
    if (m_released)
        return fail(QStringLiteral("The engine has been released."));
    if (m_created)
        return fail(QStringLiteral("The engine is already created."));
    m_runner = std::make_unique<ScriptRunner>(m_log);
    m_runner->setStateListener([this] { emit scriptStateChanged(); });
    m_runner->setCallCanceller([this](QThread* script) { cancelAddInCalls(script); });
    m_runner->resetBreakpoints(m_text);
    m_created = true;
    updateProgram();
    return {};
}

Result<> ReferenceEngine::Release(const Variant&)
{
    if (auto ok = idle(QStringLiteral("stop it before releasing the engine.")); !ok)
        return ok;
    m_runner.reset();
    delete m_window.data();
    m_objects.clear();
    m_released = true;
    return {};
}

Result<Boolean> ReferenceEngine::ReadOnly()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return toBoolean(m_readOnly);
}

Result<> ReferenceEngine::ReadOnly(Boolean value)
{
    if (auto ok = ready(); !ok)
        return ok;
    m_readOnly = isTrue(value);
    return {};
}

Result<Boolean> ReferenceEngine::Modified()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return toBoolean(m_modified);
}

Result<> ReferenceEngine::Modified(Boolean value)
{
    if (auto ok = ready(); !ok)
        return ok;
    m_modified = isTrue(value);
    return {};
}

Result<> ReferenceEngine::Start(qint32 mode, const Variant&)
{
    if (auto ok = ready(); !ok)
        return ok;
    if (const auto started = m_runner->start(mode); !started)
        return failed(started);
    return {};
}

Result<> ReferenceEngine::Stop(qint32 mode, const Variant&)
{
    if (auto ok = ready(); !ok)
        return ok;
    if (const auto stopped = m_runner->stop(mode); !stopped)
        return failed(stopped);
    return {};
}

void ReferenceEngine::cancelAddInCalls(QThread* script)
{
    for (const AddedObject& added : m_objects) {
        QObject* object = added.object.get();
        const int index = object->metaObject()->indexOfMethod(
            QByteArray(AddInCancelMethod).append("(QThread*)").constData());
        if (index >= 0)
            object->metaObject()->method(index).invoke(object, Qt::DirectConnection,
                                                       Q_ARG(QThread*, script));
    }
}

Result<Boolean> ReferenceEngine::Wait(qint32 timeoutMs, const Variant&)
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return toBoolean(m_runner->waitForRest(timeoutMs));
}

Result<> ReferenceEngine::AddObject(const QString& name, ObjectRef& object)
{
    if (auto ok = idle(QStringLiteral("objects cannot be added now.")); !ok)
        return ok;
    if (!object)
        return fail(QStringLiteral("No object is given to add as '%1'.").arg(name));
    if (!isIdentifier(name))
        return fail(QStringLiteral("'%1' is not a name a script can use.").arg(name));
    const auto taken = [&name](const QString& other) {
        return other.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (taken(QStringLiteral("Err")) || taken(QStringLiteral("Arg")) ||
        std::ranges::any_of(m_objects, [&](const AddedObject& added) { return taken(added.name); }))
        return fail(QStringLiteral("The name '%1' is already taken.").arg(name));
    ScriptRunner* runner = m_runner.get();
    auto bridge = std::make_shared<AddInBridge>(object, runner->marshal(),
                                                [runner] { return runner->stopRequested(); });
    m_objects.push_back(AddedObject{name, object, std::move(bridge)});
    updateProgram();
    return {};
}

Result<> ReferenceEngine::RemoveObject(const QString& name)
{
    if (auto ok = idle(QStringLiteral("objects cannot be removed now.")); !ok)
        return ok;
    const auto found = std::ranges::find_if(m_objects, [&name](const AddedObject& added) {
        return added.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (found == m_objects.end())
        return fail(QStringLiteral("No object is added under the name '%1'.").arg(name));
    m_objects.erase(found);
    updateProgram();
    return {};
}

Result<> ReferenceEngine::ClearLog()
{
    if (auto ok = ready(); !ok)
        return ok;
    m_log.clear();
    return {};
}

Result<qint32> ReferenceEngine::State()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return qint32(m_runner->state());
}

Result<qint32> ReferenceEngine::LineNumber()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return qint32(m_runner->lineNumber());
}

Result<QString> ReferenceEngine::Text()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_text;
}

Result<> ReferenceEngine::Text(const QString& value)
{
    if (auto ok = idle(QStringLiteral("the script text cannot be changed now.")); !ok)
        return ok;
    if (m_readOnly)
        return fail(QStringLiteral("The script text is read-only."));
    setText(value, true);
    return {};
}

Result<QString> ReferenceEngine::StartUp()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_startUp;
}

Result<> ReferenceEngine::StartUp(const QString& value)
{
    if (auto ok = ready(); !ok)
        return ok;
    m_startUp = value;
    updateProgram();
    return {};
}

Result<Variant> ReferenceEngine::ExitCode()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_runner->exitCode();
}

Result<QString> ReferenceEngine::Log()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_log.all();
}

Result<QString> ReferenceEngine::LastLog()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_log.last();
}

Result<Variant> ReferenceEngine::Tag()
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_tag;
}

Result<> ReferenceEngine::Tag(const Variant& value)
{
    if (auto ok = ready(); !ok)
        return ok;
    m_tag = value;
    return {};
}

Result<Variant> ReferenceEngine::Execute(const QString& statement, const Variant& argument)
{
    if (auto ok = ready(); !ok)
        return std::unexpected(ok.error());
    return m_runner->execute(statement, argument);
}

} // namespace velscript::engine

#include "moc_reference_engine.cpp" // compiled here, with the precompiled Qt headers of this file
