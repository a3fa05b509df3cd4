#include "engine/script_runner.h"

#include "engine/engine_log.h"
#include "engine/values.h"
#include "lang/inspection.h"

#include <QThread>

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
    bool wasIdle = false;
    {
        const std::lock_guard lock(m_marshal.mutex());
        wasIdle = m_states.phase() == RunnerPhase::Idle && !m_interpreter->stopRequested();
        m_orders.quit = true;
        m_pauseAsked = false;
        m_interpreter->requestStop();
    }
    m_marshal.notifyAll();
    if (m_canceller)
        m_canceller(m_scriptThread.load());
    m_worker.join();
    // An idle program ends here, its instances' Class_Terminate run while the runner is whole;
    // a program that was stopped, before or by the engine's end, runs no more script.
    if (wasIdle) {
        m_interpreter->clearStop();
        m_interpreter->load(QString());
    }
}

void ScriptRunner::setCallCanceller(std::function<void(QThread*)> canceller)
{
    m_canceller = std::move(canceller);
}

void ScriptRunner::setStateListener(std::function<void()> listener)
{
    const std::lock_guard lock(m_marshal.mutex());
    m_listener = std::move(listener);
}

void ScriptRunner::enter(RunnerPhase phase)
{
    const ScriptState before = m_states.state();
    if (!m_states.moveTo(phase))
        return;
    m_marshal.notifyAll();
    if (m_listener && m_states.state() != before)
        m_listener();
}

bool ScriptRunner::typing() const
{
    return m_states.phase() == RunnerPhase::TypingIdle ||
           m_states.phase() == RunnerPhase::TypingPaused;
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
        const QString description = lang::formatError(*error, lang::ErrorLayout::Log);
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
    // Typed text runs alone: nothing starts or steps under it.
    if (state() == ScriptState::Running || typing())
        return std::unexpected(QStringLiteral("A script is running."));

    if (state() == ScriptState::Paused) {
        switch (mode) {
        case StartMode::StepForward:
            // A breakpoint paused without a pause being asked for: the step asks for the next.
            m_pauseAsked = true;
            m_stepDepth = -1;
            m_orders.command = Command::Step;
            enter(RunnerPhase::Running);
            return {};
        case StartMode::StepBackward: {
            m_orders.command = Command::Back;
            m_orders.backAnswer = -1;
            enter(RunnerPhase::SteppingBack);
            lock.unlock();
            const bool answered = m_marshal.waitUntil(
                [this] { return m_orders.backAnswer != -1 && state() != ScriptState::Running; },
                std::chrono::steady_clock::now() + AnswerBound);
            lock.lock();
            if (!answered)
                return std::unexpected(QStringLiteral("The script did not answer the step back."));
            if (m_orders.backAnswer == 0)
                return std::unexpected(
                    QStringLiteral("The script stands at the first statement of its routine: "
                                   "there is no statement to step back to."));
            return {};
        }
        default:
            m_orders.mode = mode;
            m_orders.command = Command::Resume;
            m_pauseAsked = false;
            enter(RunnerPhase::Running);
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
    m_orders.mode = mode;
    m_orders.cycleStop = false;
    m_orders.initialize = false;
    m_orders.command = Command::None;
    m_pauseAsked = mode == StartMode::StepForward;
    m_stepDepth = -1;
    const bool runModule = !m_moduleRan;
    m_log.append(QStringLiteral("Start %1 (%2)").arg(modeName(mode), startUp));
    m_orders.job = [this, runModule, startUp] { runCycles(runModule, startUp); };
    enter(RunnerPhase::Running);
    return {};
}

void ScriptRunner::workerLoop()
{
    m_scriptThread = QThread::currentThread();
    std::unique_lock lock(m_marshal.mutex());
    while (true) {
        m_marshal.changed().wait(lock, [this] { return m_orders.quit || m_orders.job; });
        if (m_orders.quit)
            return;
        runJob(lock);
    }
}

void ScriptRunner::runJob(std::unique_lock<std::mutex>& lock)
{
    const auto job = std::exchange(m_orders.job, nullptr);
    lock.unlock();
    job();
    lock.lock();
}

void ScriptRunner::runCycles(bool runModule, const QString& startUp)
{
    {
        const std::lock_guard lock(m_marshal.mutex());
        m_interpreter->setHooked(hookedIn(m_orders.mode));
    }
    lang::Outcome outcome;
    lang::Value result;
    bool moduleRan = true;
    if (runModule) {
        outcome = m_interpreter->runModule();
        moduleRan = outcome.finished();
        // A step over the module's last statement goes on into the start-up routine.
        const std::lock_guard lock(m_marshal.mutex());
        if (m_stepDepth == 0)
            m_stepDepth = -1;
    }
    while (outcome.finished()) {
        // An empty routine passes no statement boundary: the stop is looked at here too.
        if (stopRequested()) {
            outcome.completion = lang::Outcome::Completion::Stopped;
            break;
        }
        outcome = m_interpreter->callRoutine(startUp, &result);
        const std::lock_guard lock(m_marshal.mutex());
        if (!outcome.finished() || m_orders.mode != StartMode::Continuous || m_orders.cycleStop)
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
        m_log.append(lang::formatError(outcome.error, lang::ErrorLayout::Log));
    } else {
        m_log.append(QStringLiteral("Stopped at line %1").arg(m_interpreter->currentLine()));
    }

    const std::lock_guard lock(m_marshal.mutex());
    m_exitCode = exitCode;
    m_moduleRan = moduleRan;
    if (m_orders.initialize)
        resetModule();
    m_pauseAsked = false;
    m_orders.cycleStop = false;
    m_orders.command = Command::None;
    enter(RunnerPhase::Idle);
}

void ScriptRunner::resetModule()
{
    m_interpreter->load(QString());
    m_loaded = false;
    m_moduleRan = false;
    m_orders.initialize = false;
    m_exitCode = Variant();
    m_log.append(QStringLiteral("Initialized"));
}

std::expected<void, QString> ScriptRunner::stop(int modeNumber)
{
    auto ordered = orderStop(modeNumber);
    // A stop that ends the script cuts short the add-in call it may wait in; called with the
    // runner's lock released, as the add-in may take locks of its own.
    if (ordered && m_canceller && stopRequested())
        m_canceller(m_scriptThread.load());
    return ordered;
}

std::expected<void, QString> ScriptRunner::orderStop(int modeNumber)
{
    if (modeNumber < int(StopMode::Default) || modeNumber > int(StopMode::Initialize))
        return std::unexpected(QStringLiteral("%1 is not a stop mode.").arg(modeNumber));
    auto mode = StopMode(modeNumber);
    const std::lock_guard lock(m_marshal.mutex());
    const RunnerPhase phase = m_states.phase();
    if (state() == ScriptState::Idle) {
        // Typed text run while idle is bounded by its own time, not stopped.
        if (mode == StopMode::Initialize && phase == RunnerPhase::Idle)
            resetModule();
        return {};
    }
    if (mode == StopMode::Default)
        mode = m_orders.mode == StartMode::Continuous ? StopMode::CycleStop : StopMode::Immediate;
    switch (mode) {
    case StopMode::Initialize:
        m_orders.initialize = true;
        [[fallthrough]];
    case StopMode::Immediate:
        m_interpreter->requestStop();
        // A step back is answered first; the paused script then sees the request and ends.
        if (phase == RunnerPhase::Running || phase == RunnerPhase::Paused ||
            phase == RunnerPhase::TypingPaused)
            enter(RunnerPhase::Stopping);
        m_marshal.notifyAll();
        return {};
    case StopMode::StepStop:
        if (m_orders.mode == StartMode::Fast)
            return std::unexpected(QStringLiteral("A cycle without the statement hook cannot "
                                                  "pause; stop it immediately instead."));
        m_stepDepth = -1;
        m_pauseAsked = true;
        return {};
    case StopMode::CycleStop:
        m_orders.cycleStop = true;
        if (state() == ScriptState::Paused) {
            // Typed text running in the pause ends first, and resumes the script as it ends.
            m_pauseAsked = false;
            m_orders.command = Command::Resume;
            if (phase == RunnerPhase::Paused)
                enter(RunnerPhase::Running);
            m_marshal.notifyAll();
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
    if (!m_pauseAsked.load(std::memory_order_relaxed) &&
        !(m_breakpoints.mayHold(line) && m_breakpoints.at(line)))
        return;
    std::unique_lock lock(m_marshal.mutex());
    const bool breakpoint = m_breakpoints.at(line);
    // A step over or out lets the calls below the paused statement run on.
    if (!breakpoint && m_stepDepth >= 0 && lang::callDepth(*m_interpreter) > m_stepDepth)
        return;
    pauseAt(lock, breakpoint);
}

void ScriptRunner::pauseAt(std::unique_lock<std::mutex>& lock, bool breakpoint)
{
    // Typed text does not pause, nor does a script on its way out.
    if ((!m_pauseAsked && !breakpoint) || m_states.phase() != RunnerPhase::Running)
        return;
    m_stepDepth = -1;
    m_pausedDepth = lang::callDepth(*m_interpreter);
    m_pauses.fetch_add(1, std::memory_order_relaxed);
    enter(RunnerPhase::Paused);
    while (true) {
        m_marshal.changed().wait(lock, [this] {
            return m_orders.command != Command::None || m_orders.job || stopRequested();
        });
        if (m_orders.command == Command::Back) {
            m_orders.command = Command::None;
            m_orders.backAnswer = m_interpreter->stepBack();
            if (m_orders.backAnswer == 0) {
                enter(RunnerPhase::Paused);
                continue;
            }
            // The hook comes again at the statement stepped back to, and pauses there.
            enter(RunnerPhase::Running);
            return;
        }
        if (stopRequested()) {
            m_orders.command = Command::None;
            if (m_states.phase() == RunnerPhase::Paused)
                enter(RunnerPhase::Stopping);
            return;
        }
        if (m_orders.job) {
            runJob(lock);
            continue;
        }
        if (std::exchange(m_orders.command, Command::None) == Command::Resume)
            m_interpreter->setHooked(hookedIn(m_orders.mode));
        return;
    }
}

std::expected<void, QString> ScriptRunner::check(const QString& text)
{
    SilentHost host;
    lang::Interpreter interpreter(host);
    if (const auto error = interpreter.load(text))
        return std::unexpected(lang::formatError(*error, lang::ErrorLayout::Log));
    return {};
}

} // namespace velscript::engine
