#pragma once

#include "lang/ast.h"
#include "lang/class_instance.h"
#include "lang/err_object.h"
#include "lang/errors.h"
#include "lang/host.h"
#include "lang/inspection.h"
#include "lang/interpreter.h"
#include "lang/resolver.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <vector>

namespace velscript::lang {

// The lowest address the calling thread's stack may reach before a call is refused, measured once
// per thread; 0 when the thread's stack bounds are unknown.
std::uintptr_t nativeStackLimit();

// Where the element of those indices is among the array's items, first index fastest; error 9
// for indices out of its bounds or of another count than its dimensions.
size_t flatIndex(const Value& array, const std::vector<Value>& indices);

enum class Flow : std::uint8_t { Normal, ExitDo, ExitFor, ExitProcedure };

// A routine as a value, as GetRef makes it: called with `ref(args)`. It belongs to the program
// that was loaded when it was made.
class RoutineRef final : public HostObject {
public:
    RoutineRef(Procedure& routine, std::uint64_t program);
    Procedure* procedure;
    std::uint64_t generation;
};

// The interpreter's inside: the loaded module, its variables, the call stack and the execution
// control the host drives. Expressions are evaluated in evaluator.cpp, statements run in
// executor.cpp.
class Machine {
public:
    explicit Machine(Host& host);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Runs `body` at module level (no frame) with the thread's stack bounds measured; turns
    // errors and stop requests into an Outcome.
    template <typename Body> Outcome guarded(Body body);

    Flow execBlock(const Block& block);
    Value eval(const Expr& expr);
    // `me` is the instance a class's routine runs for; a routine of the same class called from
    // inside it runs for the same instance.
    Value callProcedure(const Procedure& proc, const ExprList& args, ClassInstance* me = nullptr);
    Value callWithValues(const Procedure& proc, std::span<const Value> args, ClassInstance* me);
    // A class instance's member as a host reaches it: called, read, or assigned (the value last).
    enum class MemberUse : std::uint8_t { Call, Get, Let, Set };
    Value useMember(ClassInstance& instance, const QString& name, MemberUse use,
                    std::span<const Value> args);
    // Text run as code from inside the script, at the caller's scope (Eval, Execute), or at
    // module level where it may also define routines and classes (ExecuteGlobal).
    Value evalText(const QString& text);
    void executeText(const QString& text, bool global);
    Value routineRef(const QString& name);
    // What an instance stands for where a plain value is needed: its Default member.
    Value defaultOf(ClassInstance& instance);
    // Ends every instance of the program that is ending: the module's variables let go, then the
    // instances that only hold each other. Class_Terminate runs when `runTerminate`, with the
    // state the caller set (the hook off at an interpreter's end), for at most endBudget
    // together: what is left then is freed without it.
    void endInstances(bool runTerminate);
    static constexpr std::chrono::milliseconds endBudget{2000};
    // The variable an expression names (Local, LocalRef or Global), by-reference slots followed.
    Value& storage(const Expr& expr);
    void sleep(int milliseconds);
    // Ends the running script at its next statement boundary, from any thread.
    void requestStop();
    // The module's state as a new source starts: the language's constants and the bound objects
    // as its variables, and Rnd's first seed.
    void freshGlobals();
    // From inside the hook: the statement before the one the script stands at, in the running
    // routine; 0 when there is none.
    int stepBack();
    void checkStringLength(qsizetype length) const;
    void checkArrayLength(qint64 length) const;

    Host& host;
    Limits limits;
    bool hooked = true;
    std::atomic<bool> stop{false};
    std::atomic<int> line{0};

    GlobalTable globals;
    ProcedureTable procedures;
    std::unique_ptr<Module> module;
    std::vector<std::pair<QString, Value>> bound; // objects the host bound, with Err
    std::shared_ptr<ErrObject> err;
    // Rnd's 24-bit state, the last number it gave (Rnd(0) gives it again).
    std::uint32_t randomSeed = initialRandomSeed;
    static constexpr std::uint32_t initialRandomSeed = 0x50000;
    ClassTable classes;
    // Routines and classes ExecuteGlobal added; they stay until another source is loaded.
    std::vector<std::unique_ptr<Module>> addedModules;
    std::uint64_t program = 0; // counts the sources loaded: a GetRef belongs to one
    std::shared_ptr<InstanceRegistry> instances;
    const ActiveCall* innermostCall = nullptr;

private:
    struct FrameGuard;
    struct TextCall;
    void addDefinitions(Module& added);
    struct CursorGuard;

    // Where a block of the running routine stands: the statement it runs now.
    struct Cursor {
        const Block* block;
        const size_t* index;
    };
    // Thrown from a statement boundary to move the execution point back to `index` of `block`,
    // a block that is running in the same routine; the block that holds it catches it.
    struct ResumeAt {
        const Block* block;
        size_t index;
    };

    // `loopEnd` marks the boundary at a loop's Next / Loop / Wend, which belongs to the loop
    // statement itself.
    void statementBoundary(int statementLine, bool loopEnd = false)
    {
        line.store(statementLine, std::memory_order_relaxed);
        if (hooked) {
            // A script stopped before this statement does not wait in a stepping host's hook.
            if (stop.load(std::memory_order_relaxed))
                throw StopRequest{statementLine};
            m_atLoopEnd = loopEnd;
            host.statement(statementLine);
            if (m_resume.block) {
                const ResumeAt target = m_resume;
                m_resume = {};
                throw target;
            }
        }
        if (stop.load(std::memory_order_relaxed))
            throw StopRequest{statementLine};
    }

    Flow exec(const Stmt& stmt);
    void assign(const Stmt& stmt);
    void appendAssign(const Stmt& stmt);
    void dim(const Stmt& stmt);
    void erase(const Stmt& stmt);
    Flow ifStatement(const Stmt& stmt);
    Flow selectStatement(const Stmt& stmt);
    Flow forStatement(const Stmt& stmt);
    Flow forEachStatement(const Stmt& stmt);
    Flow doStatement(const Stmt& stmt);
    Flow withStatement(const Stmt& stmt);

    Value binaryExpr(const Expr& expr);
    Value indexRead(const Expr& expr);
    void indexWrite(const Expr& target, Value value);
    Value member(const Expr& expr);
    Value newInstance(const ClassDef& cls);
    const ClassMember& findMember(ClassInstance& instance, const QString& name) const;
    Value readMember(ClassInstance& instance, const Expr& expr);
    void assignMember(ClassInstance& instance, const Expr& target, Value value, bool isSet);
    // `obj(args)` on an instance: its Default member with those arguments.
    Value applyDefault(const Value& object, const ExprList& args);
    // Runs the Class_Terminate of the instances whose last reference went, and frees them.
    void collectGarbage();
    void runTerminate(ClassInstance& instance);
    template <typename Bind>
    Value enterProcedure(const Procedure& proc, size_t argCount, ClassInstance* me, Bind bind);
    // `left(args)` on what any expression answers, read and as the place an assignment changes.
    Value applyRead(const Expr& expr);
    Value& place(const Expr& target);
    Value& elementOf(Value& array, const std::vector<std::vector<Value>>& indices);
    Value builtin(const Expr& expr);
    std::vector<Value> evalArgs(const ExprList& args);
    void checkNativeStack() const;

    // Where typed text stands: inside the hook, in the routine the script is paused in; otherwise
    // at module level (no routine, no frame).
    struct TypedScope {
        const Procedure* procedure = nullptr;
        Value* frame = nullptr;
        ClassInstance* me = nullptr;
    };
    TypedScope typedScope() const
    {
        if (!m_running || !m_procedure)
            return {};
        return {m_procedure, m_frame, m_me};
    }
    void enter(const TypedScope& scope)
    {
        m_procedure = scope.procedure;
        m_frame = scope.frame;
        m_me = scope.me;
    }

    std::vector<Value> m_stack;
    Value m_scratch;                  // the copy an assignment into a call's answer changes
    std::vector<Value> m_withObjects; // the objects of the With blocks being run, innermost last
    size_t m_stackTop = 0;
    Value* m_frame = nullptr;
    const Procedure* m_procedure = nullptr; // the routine m_frame belongs to
    ClassInstance* m_me = nullptr;          // the instance a class's routine runs for
    bool m_collecting = false;              // Class_Terminate routines are being run
    int m_depth = 0;
    bool m_resumeNext = false;
    bool m_running = false;          // inside guarded(): a run typed from the hook is nested
    std::uintptr_t m_stackLimit = 0; // below this address the thread's stack is nearly full

    std::vector<Cursor> m_cursors; // the running blocks, outermost first
    size_t m_frameCursors = 0;     // the first cursor of the running routine (or typed text)
    bool m_atLoopEnd = false;
    ResumeAt m_resume{nullptr, 0};

    std::mutex m_sleepMutex;
    std::condition_variable m_sleepWake;

    friend class Interpreter;
};

template <typename Body> Outcome Machine::guarded(Body body)
{
    Outcome outcome;
    const bool outermost = m_depth == 0 && m_frame == nullptr;
    if (outermost)
        m_stackLimit = nativeStackLimit();
    // Text typed while the script waits in the hook runs nested; the script's line is its own
    // again afterwards. The state is put back however the body ends, even by an exception a
    // host object should not have thrown.
    struct Restore {
        Machine& m;
        bool nested = m.m_running;
        int line = m.line.load(std::memory_order_relaxed);
        Value* frame = m.m_frame;
        const Procedure* procedure = m.m_procedure;
        ClassInstance* me = m.m_me;
        bool resumeNext = m.m_resumeNext;
        size_t frameCursors = m.m_frameCursors;
        ~Restore()
        {
            m.m_frameCursors = frameCursors;
            m.m_resume = {};
            m.m_running = nested;
            if (nested)
                m.line.store(line, std::memory_order_relaxed);
            m.m_frame = frame;
            m.m_procedure = procedure;
            m.m_me = me;
            m.m_resumeNext = resumeNext;
        }
    } restore{*this};
    m_frame = nullptr;
    m_procedure = nullptr;
    m_me = nullptr;
    m_resumeNext = false;
    m_running = true;
    // Typed text cannot step back into the script it interrupts.
    m_frameCursors = m_cursors.size();
    const auto fail = [&](const RuntimeError& error) {
        outcome.completion = Outcome::Completion::Failed;
        outcome.error = runtimeError(error.number(), error.description(),
                                     error.line() ? error.line() : line.load(), error.frames());
        // The routines' frames restored their callers' lines while unwinding; the current line
        // is where the script failed (or stopped, below).
        line.store(outcome.error.line, std::memory_order_relaxed);
    };
    try {
        body();
    } catch (const RuntimeError& error) {
        fail(error);
    } catch (const StopRequest& request) {
        outcome.completion = Outcome::Completion::Stopped;
        line.store(request.line, std::memory_order_relaxed);
    } catch (const std::bad_alloc&) {
        // An allocation that failed outside any statement (in a typed expression) fails the run,
        // not the process.
        fail(RuntimeError(ErrorNumber::OutOfMemory));
    }
    // Instances the run let go of end with it, however it ended; a stopped run runs no more
    // script, and what a stop leaves is freed without its Class_Terminate.
    if (instances->released && !m_collecting) {
        if (!outcome.stopped()) {
            try {
                collectGarbage();
            } catch (const StopRequest& request) {
                // Stopped in a Class_Terminate: the run did not come to its end by itself.
                outcome.completion = Outcome::Completion::Stopped;
                line.store(request.line, std::memory_order_relaxed);
            } catch (const std::bad_alloc&) {
            }
        }
        instances->freeReleased();
    }
    return outcome;
}

} // namespace velscript::lang
