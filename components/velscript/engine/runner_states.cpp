#include "engine/runner_states.h"

#include <QLoggingCategory>

namespace velscript::engine {

Q_LOGGING_CATEGORY(lcEngine, "velscript.engine", QtWarningMsg)

namespace {

struct Transition {
    RunnerPhase from;
    RunnerPhase to;
};

using enum RunnerPhase;

// Every move the runner makes, and what makes it. Typed text runs only while the script is idle
// or paused and nothing starts or steps under it; a script asked to stop at once only ends; a
// step back is answered before anything else happens to the script.
constexpr Transition transitions[] = {
    {Idle, Running},          // Start
    {Idle, TypingIdle},       // Execute
    {TypingIdle, Idle},       // the typed text ends
    {Running, Paused},        // the hook pauses: a step, a step stop, a start in Step mode
    {Running, Stopping},      // Stop immediate or initialize
    {Running, Idle},          // the run ends: finished, failed, or stopped at a boundary
    {Stopping, Idle},         // the run ends
    {Paused, Running},        // Start Step or another mode; a cycle stop resumes
    {Paused, SteppingBack},   // Start Step Back
    {Paused, TypingPaused},   // Execute
    {Paused, Stopping},       // Stop immediate or initialize; the runner going away
    {SteppingBack, Paused},   // no statement to step back to
    {SteppingBack, Running},  // stepped back: the hook pauses again at that statement
    {TypingPaused, Paused},   // the typed text ends
    {TypingPaused, Stopping}, // Stop immediate or initialize from within the typed text
};

} // namespace

ScriptState scriptState(RunnerPhase phase)
{
    switch (phase) {
    case Idle:
    case TypingIdle:
        return ScriptState::Idle;
    case Running:
    case Stopping:
    case SteppingBack:
        return ScriptState::Running;
    case Paused:
    case TypingPaused:
        return ScriptState::Paused;
    }
    return ScriptState::Idle;
}

QString phaseName(RunnerPhase phase)
{
    switch (phase) {
    case Idle:
        return QStringLiteral("idle");
    case TypingIdle:
        return QStringLiteral("typed text while idle");
    case Running:
        return QStringLiteral("running");
    case Stopping:
        return QStringLiteral("stopping");
    case SteppingBack:
        return QStringLiteral("stepping back");
    case Paused:
        return QStringLiteral("paused");
    case TypingPaused:
        return QStringLiteral("typed text while paused");
    }
    return QString();
}

bool isAllowed(RunnerPhase from, RunnerPhase to)
{
    for (const Transition& transition : transitions) {
        if (transition.from == from && transition.to == to)
            return true;
    }
    return false;
}

bool RunnerStates::moveTo(RunnerPhase to)
{
    if (!isAllowed(m_phase, to)) {
        ++m_faults;
        qCWarning(lcEngine, "The script runner may not go from %s to %s; it stays %s.",
                  qPrintable(phaseName(m_phase)), qPrintable(phaseName(to)),
                  qPrintable(phaseName(m_phase)));
        return false;
    }
    m_phase = to;
    m_state = int(scriptState(to));
    return true;
}

} // namespace velscript::engine
