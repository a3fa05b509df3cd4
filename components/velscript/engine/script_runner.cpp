#include "engine/script_runner.h"

#include "engine/engine_log.h"
#include "engine/values.h"

#include <QStringList>

namespace velscript::engine {

namespace {

using namespace std::chrono_literals;

// How long the engine's thread waits for a paused script to answer a step backward.
constexpr auto AnswerBound = 2s;

QString modeName(StartMode mode)
{
    switch (mode) {
    case StartMode::OneCycle:
        return QStringLiteral("One Cycle");
    case StartMode::Continuous:
        return QStringLiteral("Continuous");
    case StartMode::StepForward:
        return QStringLiteral("Step");
    case StartMode::StepBackward:
        return QStringLiteral("Step Back");
    case StartMode::Fast:
        return QStringLiteral("One Cycle (Fast)");
    }
    return QString();
}

QString describe(const lang::ScriptError& error)
{
    if (error.kind == lang::ScriptError::Kind::Syntax)
        return QStringLiteral("Syntax error at line %1, column %2: %3")
            .arg(error.line)
            .arg(error.column)
            .arg(error.description);
    return QStringLiteral("Run-time error %1 at line %2: %3")
        .arg(error.number)
        .arg(error.line)
        .arg(error.description);
}

// The log entry of a run that failed: the error, and where a nested call failed, the calls that
// were active, innermost first, so the entry says how the script got there.
QString describeFailedRun(const lang::ScriptError& error)
{
    QString entry = describe(error);
    if (error.frames.size() > 1) {
        QStringList calls;
        for (const lang::CallFrame& frame : error.frames)
            calls.append(QStringLiteral("in %1 at line %2").arg(frame.routine).arg(frame.line));
        entry += QStringLiteral(" (") + calls.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return entry;
}

class SilentHost : public lang::Host {
public:
    void log(const QString&) override {}
};

} // namespace

ScriptRunner::ScriptRunner(EngineLog& log)
    : m_log(log), m_interpreter(std::make_unique<lang::Interpreter>(*this)),
      m_worker([this] { workerLoop(); })
{}

ScriptRunner::~ScriptRunner()
{
    {
        const std::lock_guard lock(m_marshal.mutex());
        m_quit = true;
        m_typedOverrun = false;
        m_pauseRequested = false;
        m_interpreter->requestStop();
    }
    m_marshal.notifyAll();
    m_worker.join();
}

void ScriptRunner::setStateListener(std::function<void()> listener)
{
    const std::lock_guard lock(m_marshal.mutex());
    m_listener = std::move(listener);
}

void ScriptRunner::setState(ScriptState state)
{
    m_state = int(state);
    m_marshal.notifyAll();
    if (m_listener)
        m_listener();
}

bool ScriptRunner::stopRequested() const
{
    return m_interpreter->stopRequested();
}

void ScriptRunner::setProgram(Program program)
{
    const std::lock_guard lock(m_marshal.mutex());
    const bool sameCode = program.text == m_program.text && program.objects == m_program.objects;
    m_program = std::move(program);
    if (!sameCode)
        m_loaded = false;
}

std::expected<void, QString> ScriptRunner::load()
{
    if (m_loaded)
        return {};
    auto interpreter = std::make_unique<lang::Interpreter>(*this);
    for (const auto& [name, object] : m_program.objects)
        interpreter->bindObject(name, object);
    const std::optional<lang::ScriptError> error = interpreter->load(m_program.text);
    m_interpreter = std::move(interpreter);
    m_moduleRan = false;
    if (error) {
        const QString description = describe(*error);
        m_log.append(description);
        return std::unexpected(description);
    }
    m_loaded = true;
    return {};
}

std::expected<void, QString> ScriptRunner::start(int modeNumber)
{
    std::unique_lock lock(m_marshal.mutex());
    if (modeNumber < int(StartMode::OneCycle) || modeNumber > int(StartMode::Fast))
        return std::unexpected(QStringLiteral("%1 is not a start mode.").arg(modeNumber));
    const auto mode = StartMode(modeNumber);
    if (state() == ScriptState::Running || m_typingIdle)
        return std::unexpected(QStringLiteral("A script is running."));

    if (state() == ScriptState::Paused) {
        switch (mode) {
        case StartMode::StepForward:
            m_command = Command::Step;
            setState(ScriptState::Running);
            return {};
        case StartMode::StepBackward: {
            m_command = Command::Back;
            m_backAnswer = -1;
            setState(ScriptState::Running);
            lock.unlock();
            const bool answered = m_marshal.waitUntil(
                [this] { return m_backAnswer != -1 && state() != ScriptState::Running; },
                std::chrono::steady_clock::now() + AnswerBound);
            lock.lock();
            if (!answered)
                return std::unexpected(QStringLiteral("The script did not answer the step back."));
            if (m_backAnswer == 0)
                return std::unexpected(
                    QStringLiteral("The script stands at the first statement of its routine: "
                                   "there is no statement to step back to."));
            return {};
        }
        default:
            m_runMode = int(mode);
            m_pauseRequested = false;
            m_command = Command::Resume;
            setState(ScriptState::Running);
            return {};
        }
    }

    if (mode == StartMode::StepBackward)
        return std::unexpected(QStringLiteral("Step back needs a paused script."));
    if (auto loaded = load(); !loaded)
        return loaded;
    const QString startUp = m_program.startUp;
    if (!m_interpreter->hasRoutine(startUp)) {
        const QString description =
            QStringLiteral("The start-up routine '%1' does not exist in the script.").arg(startUp);
        m_log.append(description);
        return std::unexpected(description);
    }
    m_interpreter->clearStop();
    m_cycleStop = false;
    m_initialize = false;
    m_command = Command::None;
    m_pauseRequested = mode == StartMode::StepForward;
    m_runMode = int(mode);
    const bool runModule = !m_moduleRan;
    m_log.append(QStringLiteral("Start %1 (%2)").arg(modeName(mode), startUp));
    m_job = [this, mode, runModule, startUp] { runCycles(mode, runModule, startUp); };
    setState(ScriptState::Running);
    return {};
}

void ScriptRunner::workerLoop()
{
    std::unique_lock lock(m_marshal.mutex());
    while (true) {
        m_marshal.changed().wait(lock, [this] { return m_quit || m_job; });
        if (m_quit)
            return;
        auto job = std::move(m_job);
        m_job = nullptr;
        lock.unlock();
        job();
        lock.lock();
    }
}

void ScriptRunner::runCycles(StartMode mode, bool runModule, const QString& startUp)
{
    m_interpreter->setHooked(mode != StartMode::Fast);
    lang::Outcome outcome;
    lang::Value result;
    if (runModule) {
        outcome = m_interpreter->runModule();
        m_moduleRan = outcome.finished();
    }
    while (outcome.finished()) {
        // An empty routine passes no statement boundary: the stop is looked at here too.
        if (stopRequested()) {
            outcome.completion = lang::Outcome::Completion::Stopped;
            break;
        }
        outcome = m_interpreter->callRoutine(startUp, &result);
        if (!outcome.finished() || StartMode(m_runMode.load()) != StartMode::Continuous ||
            m_cycleStop)
            break;
    }

    Variant exitCode;
    if (outcome.finished()) {
        exitCode = result.isEmpty() ? Variant(qint32(0)) : toVariant(result);
        m_log.append(QStringLiteral("End (exit code %1)")
                         .arg(exitCode.kind() == Variant::Kind::Null ? QStringLiteral("Null")
                                                                     : exitCode.toText()));
    } else if (outcome.failed()) {
        exitCode = Variant(qint32(outcome.error.number));
        m_log.append(describeFailedRun(outcome.error));
    } else {
        m_log.append(QStringLiteral("Stopped at line %1").arg(m_interpreter->currentLine()));
    }

    const std::lock_guard lock(m_marshal.mutex());
    m_exitCode = exitCode;
    if (m_initialize)
        resetModule();
    m_pauseRequested = false;
    m_cycleStop = false;
    m_command = Command::None;
    setState(ScriptState::Idle);
}

void ScriptRunner::resetModule()
{
    m_interpreter->load(QString());
    m_loaded = false;
    m_moduleRan = false;
    m_initialize = false;
    m_exitCode = Variant();
    m_log.append(QStringLiteral("Initialized"));
}

std::expected<void, QString> ScriptRunner::stop(int modeNumber)
{
    if (modeNumber < int(StopMode::Default) || modeNumber > int(StopMode::Initialize))
        return std::unexpected(QStringLiteral("%1 is not a stop mode.").arg(modeNumber));
    auto mode = StopMode(modeNumber);
    const std::lock_guard lock(m_marshal.mutex());
    if (state() == ScriptState::Idle) {
        if (mode == StopMode::Initialize && !m_typingIdle)
            resetModule();
        return {};
    }
    const auto runMode = StartMode(m_runMode.load());
    if (mode == StopMode::Default)
        mode = runMode == StartMode::Continuous ? StopMode::CycleStop : StopMode::Immediate;
    switch (mode) {
    case StopMode::Initialize:
        m_initialize = true;
        [[fallthrough]];
    case StopMode::Immediate:
        m_typedOverrun = false;
        m_interpreter->requestStop();
        // A paused script is on its way out now: waiting for rest waits for its end.
        if (state() == ScriptState::Paused)
            setState(ScriptState::Running);
        m_marshal.notifyAll();
        return {};
    case StopMode::StepStop:
        if (runMode == StartMode::Fast)
            return std::unexpected(QStringLiteral("A cycle without the statement hook cannot "
                                                  "pause; stop it immediately instead."));
        m_pauseRequested = true;
        return {};
    case StopMode::CycleStop:
        m_cycleStop = true;
        if (state() == ScriptState::Paused) {
            m_pauseRequested = false;
            m_command = Command::Resume;
            setState(ScriptState::Running);
        }
        return {};
    case StopMode::Default:
        break;
    }
    return {};
}

bool ScriptRunner::waitForRest(int milliseconds)
{
    return m_marshal.waitUntil([this] { return state() != ScriptState::Running; },
                               std::chrono::steady_clock::now() +
                                   std::chrono::milliseconds(std::max(milliseconds, 0)));
}

int ScriptRunner::lineNumber() const
{
    return state() == ScriptState::Idle ? 0 : m_interpreter->currentLine();
}

Variant ScriptRunner::exitCode() const
{
    const std::lock_guard lock(m_marshal.mutex());
    return m_exitCode;
}

void ScriptRunner::log(const QString& text)
{
    m_log.append(text);
}

void ScriptRunner::statement(int line)
{
    Q_UNUSED(line);
    if (m_typing || !m_pauseRequested.load(std::memory_order_relaxed))
        return;
    std::unique_lock lock(m_marshal.mutex());
    pauseAt(lock);
}

void ScriptRunner::pauseAt(std::unique_lock<std::mutex>& lock)
{
    if (!m_pauseRequested)
        return;
    setState(ScriptState::Paused);
    while (true) {
        m_marshal.changed().wait(
            lock, [this] { return m_command != Command::None || m_job || stopRequested(); });
        if (stopRequested()) {
            m_command = Command::None;
            setState(ScriptState::Running);
            return;
        }
        if (m_job) {
            auto job = std::move(m_job);
            m_job = nullptr;
            lock.unlock();
            job();
            lock.lock();
            continue;
        }
        const Command command = m_command;
        m_command = Command::None;
        switch (command) {
        case Command::Step:
            return;
        case Command::Resume:
            m_interpreter->setHooked(StartMode(m_runMode.load()) != StartMode::Fast);
            return;
        case Command::Back:
            m_backAnswer = m_interpreter->stepBack();
            if (m_backAnswer != 0)
                return; // the hook comes again at the statement stepped back to, and pauses
            setState(ScriptState::Paused);
            continue;
        case Command::None:
            break;
        }
    }
}

std::expected<void, QString> ScriptRunner::check(const QString& text)
{
    SilentHost host;
    lang::Interpreter interpreter(host);
    if (const auto error = interpreter.load(text))
        return std::unexpected(describe(*error));
    return {};
}

} // namespace velscript::engine
