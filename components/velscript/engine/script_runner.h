#pragma once

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
    void pauseAt(std::unique_lock<std::mutex>& lock);
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
    Variant m_exitCode;
    Program m_program;
    bool m_loaded = false;    // the interpreter holds the program's code
    bool m_moduleRan = false; // and has run its module statements

    std::thread m_worker; // last: started once the members above exist
};

} // namespace velscript::engine
