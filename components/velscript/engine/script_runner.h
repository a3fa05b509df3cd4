#pragma once

#include "engine/call_marshal.h"
#include "engine_kit/variant.h"
#include "lang/interpreter.h"

#include <QString>

#include <atomic>
#include <expected>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace velscript::engine {

class EngineLog;

enum class StartMode { OneCycle = 1, Continuous = 2, StepForward = 3, StepBackward = 4, Fast = 5 };
enum class StopMode { Default = 0, Immediate = 1, StepStop = 2, CycleStop = 3, Initialize = 4 };
enum class ScriptState { Idle = 0, Running = 1, Paused = 2 };

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
// The interpreter belongs to the worker while a script runs or is paused; while idle the engine's
// thread may load it, guarded by the state that the shared mutex publishes.
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

    ScriptState state() const { return ScriptState(m_state.load()); }
    // Whether the script has been asked to stop; any thread.
    bool stopRequested() const;
    int lineNumber() const;
    Variant exitCode() const;

    // Runs typed text against the script's variables with `argument` bound as Arg (a module
    // variable): on the worker while paused or idle; refused while running. Paused inside a
    // routine, the text sees that routine's own variables first, so a local named Arg hides the
    // argument. Answers an expression's value, or Empty.
    std::expected<Variant, QString> execute(const QString& text, const Variant& argument);
    // Whether the text parses; the first syntax error, described, otherwise.
    static std::expected<void, QString> check(const QString& text);

    CallMarshal& marshal() { return m_marshal; }
    // Called on the worker's thread whenever the state or the paused position changes.
    void setStateListener(std::function<void()> listener);

    // How long typed text may run before it is stopped.
    static constexpr int ExecuteBoundMs = 5000;

private:
    enum class Command { None, Step, Resume, Back };

    void log(const QString& text) override;
    void statement(int line) override;

    void workerLoop();
    void runCycles(StartMode mode, bool runModule, const QString& startUp);
    void pauseAt(std::unique_lock<std::mutex>& lock);
    void setState(ScriptState state); // with the mutex held
    std::expected<void, QString> load();
    void resetModule();

    EngineLog& m_log;
    CallMarshal m_marshal;
    std::function<void()> m_listener;

    // Guarded by m_marshal.mutex() unless atomic.
    std::unique_ptr<lang::Interpreter> m_interpreter;
    std::atomic<int> m_state{int(ScriptState::Idle)};
    std::atomic<bool> m_pauseRequested{false};
    std::atomic<bool> m_cycleStop{false};
    std::atomic<int> m_runMode{int(StartMode::OneCycle)};
    bool m_initialize = false;
    Command m_command = Command::None;
    int m_backAnswer = -1;
    std::function<void()> m_job; // the worker's next task
    bool m_quit = false;
    Variant m_exitCode;
    bool m_loaded = false;
    bool m_moduleRan = false;
    bool m_typingIdle = false;   // typed text runs on the worker while no script does
    bool m_typedOverrun = false; // the stop requested is the typed text's alone
    Program m_program;

    bool m_typing = false; // the worker's own: typed text runs, the hook does not pause

    std::thread m_worker; // last: started once the members above exist
};

} // namespace velscript::engine
