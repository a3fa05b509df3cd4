#include "engine/script_runner.h"

#include "engine/values.h"

// Typed text: statements and expressions run against the script's variables on the worker, while
// the script is idle or paused. Paused, the text runs inside the hook, where it also reaches the
// variables of the routine the script stands in.

namespace velscript::engine {

namespace {

using namespace std::chrono_literals;

// How long a stopped piece of typed text may take to end.
constexpr auto StopBound = 2s;

} // namespace

std::expected<Variant, QString> ScriptRunner::execute(const QString& text, const Variant& argument)
{
    struct Typed {
        bool done = false; // guarded by the shared mutex
        lang::Outcome outcome;
        Variant value; // converted on the worker: script values stay on its thread
    };
    auto typed = std::make_shared<Typed>();
    std::unique_lock lock(m_marshal.mutex());
    if (state() == ScriptState::Running || typing())
        return std::unexpected(
            QStringLiteral("A script is running: Execute waits until it is paused or stopped."));
    if (state() == ScriptState::Idle) {
        // Typed text sees the objects added since the last start; a syntax error of the script
        // leaves the bound objects alone to work with.
        if (!m_loaded)
            static_cast<void>(load());
        // What stopped the last run does not stop the text.
        m_interpreter->clearStop();
        enter(RunnerPhase::TypingIdle);
    } else {
        enter(RunnerPhase::TypingPaused);
    }
    m_orders.job = [this, text, argument = toValue(argument), typed] {
        m_interpreter->setVariable(QStringLiteral("Arg"), argument);
        lang::Value value;
        const lang::Outcome outcome = m_interpreter->runTyped(text, &value);
        const std::lock_guard done(m_marshal.mutex());
        typed->outcome = outcome;
        typed->value = toVariant(value);
        typed->done = true;
        // Still typing, a stop was the overrunning text's own: the script paused under it stays
        // paused. A stop of the script itself has moved the runner on already.
        if (typing()) {
            if (!m_orders.quit)
                m_interpreter->clearStop();
            if (m_states.phase() == RunnerPhase::TypingIdle) {
                enter(RunnerPhase::Idle);
            } else {
                enter(RunnerPhase::Paused);
                // A cycle stop given while the text ran resumes the script now, before anyone
                // waiting for rest sees it paused.
                if (m_orders.command != Command::None)
                    enter(RunnerPhase::Running);
            }
        }
        m_marshal.notifyAll();
    };
    m_marshal.notifyAll();
    lock.unlock();

    const auto isDone = [&typed] { return typed->done; };
    bool finished = m_marshal.waitUntil(isDone, std::chrono::steady_clock::now() +
                                                    std::chrono::milliseconds(ExecuteBoundMs));
    if (!finished) {
        {
            const std::lock_guard stopping(m_marshal.mutex());
            if (!typed->done)
                m_interpreter->requestStop();
        }
        m_marshal.notifyAll();
        finished = m_marshal.waitUntil(isDone, std::chrono::steady_clock::now() + StopBound);
    }
    lock.lock();
    if (!finished || typed->outcome.stopped())
        return std::unexpected(
            QStringLiteral("The typed text ran longer than %1 ms and was stopped.")
                .arg(ExecuteBoundMs));
    if (typed->outcome.failed())
        return std::unexpected(typed->outcome.error.text());
    return typed->value;
}

} // namespace velscript::engine
