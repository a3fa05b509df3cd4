#pragma once

#include <QString>

#include <atomic>

namespace velscript::engine {

enum class StartMode { OneCycle = 1, Continuous = 2, StepForward = 3, StepBackward = 4, Fast = 5 };
enum class StopMode { Default = 0, Immediate = 1, StepStop = 2, CycleStop = 3, Initialize = 4 };
// The engine's documented states, as State and ScriptState give them.
enum class ScriptState { Idle = 0, Running = 1, Paused = 2 };

// Where the script runner is. Each phase shows as one documented state.
enum class RunnerPhase {
    Idle,         // no script runs                                          Idle
    TypingIdle,   // typed text runs on the worker, no script under it        Idle
    Running,      // the script runs, or runs on to where a step pauses it    Running
    Stopping,     // asked to end at once (or to initialize), not yet ended   Running
    SteppingBack, // a paused script moves its execution point back           Running
    Paused,       // the script waits at a statement                          Paused
    TypingPaused, // typed text runs inside the pause                         Paused
};

ScriptState scriptState(RunnerPhase phase);
QString phaseName(RunnerPhase phase);
// Whether the runner may go from `from` to `to`: the table in runner_states.cpp.
bool isAllowed(RunnerPhase from, RunnerPhase to);

// The runner's phase, moved only along the table. A move the table does not allow is a fault of
// the runner: it is refused, counted and reported on velscript.engine, in every build, so that a
// test sees it. The phase is guarded by the runner's mutex; the state and the count are atomics
// any thread may read.
class RunnerStates {
public:
    RunnerPhase phase() const { return m_phase; }
    ScriptState state() const { return ScriptState(m_state.load()); }
    // Answers whether the move was made.
    bool moveTo(RunnerPhase to);
    int faults() const { return m_faults.load(); }

private:
    RunnerPhase m_phase = RunnerPhase::Idle;
    std::atomic<int> m_state{int(ScriptState::Idle)};
    std::atomic<int> m_faults{0};
};

} // namespace velscript::engine
