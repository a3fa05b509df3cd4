#include "engine/script_runner.h"

#include "engine/values.h"
#include "lang/ast.h"
#include "lang/parser.h"

// Typed text: statements and expressions run against the script's variables on the worker, while
// the script is idle or paused. Paused, the text runs inside the hook, where it also reaches the
// variables of the routine the script stands in.

namespace velscript::engine {

namespace {

using namespace std::chrono_literals;

// How long a stopped piece of typed text may take to end.
constexpr auto StopBound = 2s;

// A single call written as a statement (`Twice(3)`, `obj.Count`) is evaluated for its value.
bool isExpression(const QString& text)
{
    const auto statements = lang::parseStatements(text);
    if (statements && !(statements->statements.size() == 1 &&
                        statements->statements.front()->kind == lang::StmtKind::Call))
        return false;
    return bool(lang::parseExpression(text));
}

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
    if (state() == ScriptState::Running || m_typingIdle)
        return std::unexpected(
            QStringLiteral("A script is running: Execute waits until it is paused or stopped."));
    const bool idle = state() == ScriptState::Idle;
    if (idle) {
        // Typed text sees the objects added since the last start; a syntax error of the script
        // leaves the bound objects alone to work with.
        if (!m_loaded)
            static_cast<void>(load());
        m_typingIdle = true;
    }
    m_job = [this, text, argument = toValue(argument), typed, idle] {
        if (idle)
            m_interpreter->clearStop();
        m_typing = true;
        m_interpreter->setVariable(QStringLiteral("Arg"), argument);
        lang::Outcome outcome;
        lang::Value value;
        if (isExpression(text))
            outcome = m_interpreter->evaluate(text, &value);
        else
            outcome = m_interpreter->execute(text);
        m_typing = false;
        const std::lock_guard done(m_marshal.mutex());
        typed->outcome = outcome;
        typed->value = toVariant(value);
        typed->done = true;
        // A stop that only ended overrunning typed text must not end the script paused under it.
        if (m_typingIdle || m_typedOverrun)
            m_interpreter->clearStop();
        m_typingIdle = false;
        m_typedOverrun = false;
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
            if (!typed->done) {
                m_typedOverrun = true;
                m_interpreter->requestStop();
            }
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
