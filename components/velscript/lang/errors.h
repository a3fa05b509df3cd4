#pragma once

#include <QString>

#include <vector>

namespace velscript::lang {

// The conventional BASIC run-time error numbers the interpreter raises.
namespace ErrorNumber {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int ArrayFixedOrLocked = 10;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int OutOfStackSpace = 28;
inline constexpr int SubOrFunctionNotDefined = 35;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int ObjectRequired = 424;
inline constexpr int UnsupportedMember = 438;
inline constexpr int WrongArgumentCount = 450;
inline constexpr int ObjectNotCollection = 451;
inline constexpr int VariableUndefined = 500;
inline constexpr int IllegalAssignment = 501;
inline constexpr int ClassNotDefined = 506;
inline constexpr int SyntaxErrorInText = 1002; // Eval, Execute and ExecuteGlobal
} // namespace ErrorNumber

// The standard description of a run-time error number, or "Unknown runtime error".
QString errorDescription(int number);

// A routine that was running when a run-time error happened, and the line it was at.
struct CallFrame {
    QString routine;
    int line = 0;
};

// A syntax error (found before anything runs) or a run-time error (raised while running).
struct ScriptError {
    enum class Kind { Syntax, Runtime };

    Kind kind = Kind::Runtime;
    int number = 0; // run-time errors only
    QString description;
    int line = 0;
    int column = 0; // syntax errors only
    // Run-time errors: the calls active where it happened, innermost first (the first is at
    // `line`); empty for an error in the module's own statements.
    std::vector<CallFrame> frames;

    // One line for people: "Syntax error at column 5: Expected 'End If'" or
    // "Run-time error 11: Division by zero" (ErrorLayout::Message).
    QString text() const;
};

// The one maker of each kind of script error.
ScriptError syntaxError(const QString& description, int line, int column);
ScriptError runtimeError(int number, const QString& description, int line,
                         std::vector<CallFrame> frames = {});
// Run-time error 7 with no line: a source too large to read or load, of which nothing ran.
ScriptError outOfMemory();

// Thrown inside the lexer's callers, the parser and the resolver to leave at the first syntax
// error; their entry points answer the error it carries.
struct SyntaxFailure {
    ScriptError error;
};

// The ways a script error is written out for people; one formatter writes them all.
enum class ErrorLayout {
    // "Run-time error 11: Division by zero", "Syntax error at column 5: Expected 'End If'".
    Message,
    // The engine's log: "Run-time error 11 at line 5: Division by zero (in Pump at line 5, in
    // Main at line 2)", the calls named when a nested call failed; "Syntax error at line 3,
    // column 5: Expected 'End If'".
    Log,
    // The command-line runner: "FILE:5: Run-time error 11: Division by zero", then
    // "FILE:LINE: in Routine" for each call that was active, innermost first, one per line; an
    // error with no line names the file alone.
    Listing,
};
// `file` names the script in the Listing layout only.
QString formatError(const ScriptError& error, ErrorLayout layout, const QString& file = {});

// Thrown by the interpreter, the built-ins and host objects; caught by On Error Resume Next or
// reported to the caller. The line is filled in where the statement is known.
class RuntimeError {
public:
    explicit RuntimeError(int number) : m_number(number), m_description(errorDescription(number)) {}
    RuntimeError(int number, QString description)
        : m_number(number), m_description(std::move(description))
    {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    // Who raised it, as Err.Raise names it; empty for the language's own errors.
    const QString& source() const { return m_source; }
    void setSource(QString source) { m_source = std::move(source); }
    // The line of the statement that raised it, 0 until the interpreter knows it.
    int line() const { return m_line; }
    void setLine(int line) { m_line = line; }
    // The calls it has left, innermost first; each routine adds itself as the error leaves it.
    const std::vector<CallFrame>& frames() const { return m_frames; }
    void addFrame(const QString& routine, int line) { m_frames.push_back({routine, line}); }

private:
    int m_number;
    int m_line = 0;
    QString m_description;
    QString m_source;
    std::vector<CallFrame> m_frames;
};

// Thrown to unwind a script that the host asked to stop; no script error handler sees it.
struct StopRequest {
    int line = 0; // where it stopped, for the current line once the frames have unwound
};

} // namespace velscript::lang
