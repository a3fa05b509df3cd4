#pragma once

#include "engine/breakpoints.h"
#include "engine/call_marshal.h"
#include "engine/runner_states.h"
#include "engine_kit/variant.h"
#include "lang/interpreter.h"

#include <QString>

#include <atomic>
#include <expected>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QThread;

namespace velscript::engine {

class EngineLog;

// What a start runs: the script text, the routine each cycle calls and the objects bound into it.
struct Program {
    QString text;
    QString startUp;
    std::vector<std::pair<QString, std::shared_ptr<lang::HostObject>>> objects;
};

// Runs the engine's script on a worker thread of its own: the module statements on the first
// run, then the start-up routine once per cycle, with stepping, pausing and stopping at statement
// boundaries. All members but the worker's own are called from the engine's thread, and none of
// them waits for a running script beyond a bounded moment.
//
// Where the runner is, is one phase (runner_states.h) moved along one table. The interpreter
// belongs to the worker while a script runs or is paused and while typed text runs; while idle
// the engine's thread may load it, guarded by the phase under the shared mutex.
class ScriptRunner : public lang::Host {
public:
    explicit ScriptRunner(EngineLog& log);
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // The program the next start runs; a change of its text or objects loads it afresh, so that
    // the module statements run again. Only while no script runs.
    void setProgram(Program program);

    std::expected<void, QString> start(int mode);
    std::expected<void, QString> stop(int mode);
    // Waits up to `milliseconds` for the script to come to rest (idle or paused).
    bool waitForRest(int milliseconds);

    ScriptState state() const { return m_states.state(); }
    // Whether the script has been asked to stop; any thread.
    bool stopRequested() const;
    int lineNumber() const;
    // How many times a run has paused: tells a new pause at the same line from the last. Any
    // thread.
    int pauses() const { return m_pauses.load(std::memory_order_relaxed); }
    Variant exitCode() const;
    // Moves the table refused: each is a fault of the runner. Any thread.
    int transitionFaults() const { return m_states.faults(); }

    // Runs typed text against the script's variables with `argument` bound as Arg (a module
    // variable): on the worker while paused or idle; refused while running. Paused inside a
    // routine, the text sees that routine's own variables first, so a local named Arg hides the
    // argument. Answers an expression's value, or Empty.
    std::expected<Variant, QString> execute(const QString& text, const Variant& argument);
    // Whether the text parses; the first syntax error, described, otherwise.
    static std::expected<void, QString> check(const QString& text);

    // How a paused script steps on: to the next statement anywhere, to the next one not inside a
    // call the current statement makes, or to the next one after the routine returns.
    enum class Step { Into, Over, Out };
    // Idle, Into and Over start a run that pauses at its first statement, as start mode 3 does.
    std::expected<void, QString> step(Step kind);
    // A paused script runs on in the mode it was started in.
    std::expected<void, QString> resume();
    // Called from the window's thread only; a new script text takes them away.
    Breakpoints& breakpoints() { return m_breakpoints; }
    void resetBreakpoints(const QString& text);
    // Runs `reader` on the script's thread while the script stays paused, for reading its
    // variables and calls; refused unless paused. `reader` may outlive a wait that timed out, so
    // it owns what it writes.
    std::expected<void, QString> inspect(std::function<void(const lang::Interpreter&)> reader);

    CallMarshal& marshal() { return m_marshal; }
    // Called whenever the state changes, with the shared mutex held, on the thread that changed
    // it: the worker's, or the engine's for a start or stop.
    void setStateListener(std::function<void()> listener);
    // Called on the engine's thread, with the thread scripts run on, when a stop ends the script
    // and when the runner ends: it cuts short a call into an add-in that the script may wait in,
    // so that neither waits for it.
    void setCallCanceller(std::function<void(QThread*)> canceller);

    // How long typed text may run before it is stopped.
    static constexpr int ExecuteBoundMs = 5000;

private:
    // stop() under the runner's lock: answers whether the mode is one, and orders it.
    std::expected<void, QString> orderStop(int mode);

    enum class Command { None, Step, Resume, Back };

    // What the engine's thread has asked of the worker that the worker has not yet done, and how
    // the run in progress is to go on.
    struct Orders {
        std::function<void()> job;            // a run of the script, or typed text
        Command command = Command::None;      // to the paused script
        int backAnswer = -1;                  // the line a step back reached, 0 none, -1 not yet
        StartMode mode = StartMode::OneCycle; // changes when a paused run resumes in another
        bool cycleStop = false;               // a continuous run ends after its cycle
        bool initialize = false;              // the module is forgotten once the run ends
        bool quit = false;                    // the runner is going away
    };

    void log(const QString& text) override;
    void statement(int line) override;

    void workerLoop();
    // Takes the next job and runs it with the mutex released.
    void runJob(std::unique_lock<std::mutex>& lock);
    void runCycles(bool runModule, const QString& startUp);
    void pauseAt(std::unique_lock<std::mutex>& lock, bool breakpoint = false);
    // Whether a run in `mode` calls the hook: a breakpoint set before it starts pauses even a fast
    // cycle.
    bool hookedIn(StartMode mode) const { return mode != StartMode::Fast || m_breakpoints.any(); }
    void enter(RunnerPhase phase); // with the mutex held
    bool typing() const;
    std::expected<void, QString> load();
    void resetModule();

    EngineLog& m_log;
    CallMarshal m_marshal;
    std::function<void()> m_listener;
    std::function<void(QThread*)> m_canceller; // set before any script runs
    std::atomic<QThread*> m_scriptThread{nullptr};

    // Guarded by m_marshal.mutex() unless atomic.
    std::unique_ptr<lang::Interpreter> m_interpreter;
    RunnerStates m_states;
    Orders m_orders;
    // Pause at the next statement: the hook's one look while the script runs on.
    std::atomic<bool> m_pauseAsked{false};
    Breakpoints m_breakpoints;
    int m_stepDepth = -1;  // a step pauses only at this call depth or less; -1 anywhere
    int m_pausedDepth = 0; // the calls active where the script is paused
    std::atomic<int> m_pauses{0};
    Variant m_exitCode;
    Program m_program;
    bool m_loaded = false;    // the interpreter holds the program's code
    bool m_moduleRan = false; // and has run its module statements

    std::thread m_worker; // last: started once the members above exist
};

} // namespace velscript::engine
