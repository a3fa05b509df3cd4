#pragma once

#include "lang/value.h"

#include <QString>

#include <vector>

namespace velscript::lang {

class ClassInstance;
class Interpreter;
struct Procedure;

// A call the script has made and not yet returned from, as a debugger lists it. It lives on the
// native stack of the call it stands for, linked to the call that made it: keeping the list costs
// a call a few stores.
struct ActiveCall {
    const Procedure* procedure;
    Value* frame;
    ClassInstance* me;
    int callerLine; // where the caller stood when it made the call
    int depth;      // 1 for the outermost call
    const ActiveCall* outer;
};

// Keeps a call at the head of the machine's list of active calls for as long as it runs.
class ActiveCallScope {
public:
    ActiveCallScope(const ActiveCall*& innermost, const Procedure* procedure, Value* frame,
                    ClassInstance* me, int callerLine)
        : m_call{procedure, frame, me, callerLine, innermost ? innermost->depth + 1 : 1, innermost},
          m_innermost(innermost)
    {
        m_innermost = &m_call;
    }
    ~ActiveCallScope() { m_innermost = m_call.outer; }
    ActiveCallScope(const ActiveCallScope&) = delete;
    ActiveCallScope& operator=(const ActiveCallScope&) = delete;

private:
    ActiveCall m_call;
    const ActiveCall*& m_innermost;
};

// What a paused script shows of itself, in plain texts: made on the script's thread, read on any.
struct CallView {
    QString routine;
    int line = 0;
};

struct VariableView {
    QString name;
    QString typeName;
    QString text;
    qint64 children = 0; // an array's elements or an instance's variables
};

// The module's variables, as a scope.
inline constexpr int ModuleScope = -1;

// A variable: the call it belongs to (innermost first) or the module, then its index among that
// scope's variables, then indices down through arrays' elements and instances' variables.
struct VariablePath {
    int scope = ModuleScope;
    std::vector<qint64> steps;
};

// These read the script's values: only on the script's thread, while it is paused in the hook
// or no script runs.
int callDepth(const Interpreter& interpreter);
// Innermost first; at module level, the one entry "Module".
std::vector<CallView> callStack(const Interpreter& interpreter);
// With no steps, the scope's variables; otherwise the children of the value the path names. At
// most `count` of them, from `first`; none for a path that names nothing (any more).
std::vector<VariableView> inspect(const Interpreter& interpreter, const VariablePath& path,
                                  qint64 first, qint64 count);

// The lines a statement starts on, or a loop's round ends on, ascending; none when the text does
// not parse.
std::vector<int> statementLines(const QString& source);

} // namespace velscript::lang
