#include "engine/script_runner.h"

// What the engine's window asks of the runner beyond the engine's operations: stepping over and
// out of calls, resuming in the run's own mode, breakpoints, and reading a paused script.

namespace velscript::engine {

namespace {

using namespace std::chrono_literals;

// How long the window waits for a paused script to read its variables.
constexpr auto InspectBound = 2s;

} // namespace

std::expected<void, QString> ScriptRunner::step(Step kind)
{
    std::unique_lock lock(m_marshal.mutex());
    if (state() != ScriptState::Paused) {
        lock.unlock();
        if (kind == Step::Out)
            return std::unexpected(QStringLiteral("Step out needs a paused script."));
        return start(int(StartMode::StepForward));
    }
    if (typing())
        return std::unexpected(QStringLiteral("A script is running."));
    m_pauseAsked = true;
    switch (kind) {
    case Step::Into:
        m_stepDepth = -1;
        break;
    case Step::Over:
        m_stepDepth = m_pausedDepth;
        break;
    case Step::Out:
        // Out of the outermost routine there is no caller to pause in: the run goes on to its
        // end or to a breakpoint.
        m_stepDepth = m_pausedDepth - 1;
        if (m_stepDepth < 0)
            m_pauseAsked = false;
        break;
    }
    m_orders.command = Command::Step;
    enter(RunnerPhase::Running);
    return {};
}

std::expected<void, QString> ScriptRunner::resume()
{
    const std::lock_guard lock(m_marshal.mutex());
    if (state() != ScriptState::Paused || typing())
        return std::unexpected(QStringLiteral("No script is paused."));
    m_orders.command = Command::Resume;
    m_pauseAsked = false;
    m_stepDepth = -1;
    enter(RunnerPhase::Running);
    return {};
}

void ScriptRunner::resetBreakpoints(const QString& text)
{
    const std::lock_guard lock(m_marshal.mutex());
    m_breakpoints.reset(text, m_states.phase() == RunnerPhase::Idle);
}

std::expected<void, QString>
ScriptRunner::inspect(std::function<void(const lang::Interpreter&)> reader)
{
    auto done = std::make_shared<bool>(false); // guarded by the shared mutex
    std::unique_lock lock(m_marshal.mutex());
    if (m_states.phase() != RunnerPhase::Paused)
        return std::unexpected(QStringLiteral("The script is not paused."));
    // Reading is typed text that changes nothing: the script stays paused under it, and a
    // stop ends it the same way.
    enter(RunnerPhase::TypingPaused);
    m_orders.job = [this, reader = std::move(reader), done] {
        reader(*m_interpreter);
        const std::lock_guard finished(m_marshal.mutex());
        *done = true;
        if (m_states.phase() == RunnerPhase::TypingPaused) {
            enter(RunnerPhase::Paused);
            if (m_orders.command != Command::None)
                enter(RunnerPhase::Running);
        }
        m_marshal.notifyAll();
    };
    m_marshal.notifyAll();
    lock.unlock();
    if (!m_marshal.waitUntil([&done] { return *done; },
                             std::chrono::steady_clock::now() + InspectBound))
        return std::unexpected(QStringLiteral("The script did not answer in time."));
    return {};
}

} // namespace velscript::engine
