#pragma once

#include "lang/errors.h"
#include "lang/host.h"
#include "lang/value.h"

#include <QString>

#include <memory>
#include <optional>

namespace velscript::lang {

class Machine;
struct Module;
struct ParsedExpression;

// Bounds that keep a runaway script from exhausting the process.
struct Limits {
    int maxCallDepth = 1000;
    int stackSlots = 1 << 16; // local variables of all active calls together
    qsizetype maxStringLength = qsizetype(1) << 28;
    qsizetype maxArrayLength = qsizetype(1) << 24; // elements of one array, all dimensions
};

// The most dimensions an array may have.
inline constexpr size_t MaxDimensions = 60;

// How a run ended: it finished, it failed with an error, or the host stopped it.
struct Outcome {
    enum class Completion { Finished, Failed, Stopped };

    Completion completion = Completion::Finished;
    ScriptError error;

    bool finished() const { return completion == Completion::Finished; }
    bool failed() const { return completion == Completion::Failed; }
    bool stopped() const { return completion == Completion::Stopped; }
};

// Loads one source and runs it: the module-level statements once, then routines by name, plus
// single statements and expressions typed at run time against the same variables.
// All running happens on the calling thread; only requestStop(), stopRequested() and
// currentLine() may be called from another thread.
class Interpreter {
public:
    explicit Interpreter(Host& host);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Named objects become module variables; bind them before load() so that routines see them.
    void bindObject(const QString& name, std::shared_ptr<HostObject> object);

    // Hooked mode (the default) calls Host::statement() before every statement and at every
    // round of a loop; fast mode does not. Stop requests are honoured in both.
    void setHooked(bool hooked);
    bool isHooked() const;
    void setLimits(const Limits& limits);
    const Limits& limits() const;

    // Parses and resolves the whole source; nothing runs. Returns the syntax error, if any, or
    // run-time error 7 (Out of memory, no line) when the source is too large to load.
    // Not from inside the hook: it replaces the code that is running (as setLimits() replaces
    // the call stack).
    std::optional<ScriptError> load(const QString& source);
    Outcome runModule();
    bool hasRoutine(const QString& name) const;
    // A Function's value goes to `result` when given (Empty for a Sub).
    Outcome callRoutine(const QString& name, Value* result = nullptr);
    // Typed text honours the loaded module's Option Explicit. Run from inside the hook while the
    // script stands in a routine, it sees that routine's parameters, locals and Function result
    // before the module variables, and may read and assign them (a ByRef parameter reaches the
    // caller's variable); a name it declares with Dim or Const, or makes by assigning, is a module
    // variable all the same, and a Dim or Const of one of the routine's own names is a syntax
    // error. Anywhere else it stands at module level.
    Outcome execute(const QString& statements);
    Outcome evaluate(const QString& expression, Value* result);
    // Text typed at run time as the engine takes it, read once: evaluated when the whole of it
    // is an expression and not an assignment (`n * 2`, and a single call written as a statement,
    // `Twice(3)` or `obj.Count`), run as statements otherwise. `result` gets an expression's
    // value, Empty for statements.
    Outcome runTyped(const QString& text, Value* result);
    // Sets a module variable, making it if the module has none of that name (typed text then
    // finds it even under Option Explicit). Not for a constant or a bound object.
    void setVariable(const QString& name, const Value& value);

    // Ends the running script at its next statement boundary (or ends a Sleep early); it stays
    // requested until clearStop(), so a stopped script does not start again by accident.
    // Called from another thread, the interpreter must outlive the call.
    void requestStop();
    void clearStop();
    bool stopRequested() const;
    // The line of the statement running now, or of the last one run.
    int currentLine() const;

    // Only from inside the hook: moves the execution point back to the statement before the one
    // the script stands at, in the same routine (from the first statement of a branch or loop
    // body, to the statement that holds it). Nothing is undone; when the hook returns, the
    // script stands at that statement and the hook is called for it. Answers its line, or 0
    // (and changes nothing) at the routine's first statement.
    int stepBack();

private:
    std::optional<ScriptError> loadSource(const QString& source);
    Outcome runStatements(Module& snippet);
    Outcome runExpression(ParsedExpression& typed, Value* result);

    std::unique_ptr<Machine> m;
    friend class InspectionAccess;
};

} // namespace velscript::lang
