#pragma once

#include "lang/ast.h"
#include "lang/errors.h"
#include "lang/name_map.h"

#include <QString>

#include <deque>
#include <optional>

namespace velscript::lang {

// The module's variables. Their addresses never change, so resolved code and by-reference
// arguments point straight at them.
struct GlobalTable {
    std::deque<Value> values;
    NameMap<Value*> byName; // lower-case names
    NameSet constants;
    // Module names that only module statements' reads made: a variable of the module all the
    // same, but not one a routine's own use of the name reaches.
    NameSet readOnlyInModule;

    Value* find(const QString& name) const
    {
        return valueOr<Value*>(byName, name.toLower(), nullptr);
    }
    Value* add(const QString& name);
    // An object the host bound (Err included): the script can use it but not rebind it.
    void bind(const QString& name, const Value& object);
};

using ProcedureTable = NameMap<Procedure*>;  // lower-case names
using ClassTable = NameMap<const ClassDef*>; // lower-case names

// What a source defines, for resolving the names that use it.
struct Definitions {
    const ProcedureTable& procedures;
    const ClassTable& classes;
};

// Turns names into slots, global addresses, routines and built-ins, and finds the statements
// that can append in place. Module statements are resolved before routines so that routines see
// the variables the module declares or creates by assigning them; a name a routine uses without
// declaring it, and that the module only reads, is the routine's own.
std::optional<ScriptError> resolveModule(Module& module, GlobalTable& globals,
                                         const Definitions& definitions);
// Statements typed at run time (a snippet without routines): at module level, or, when
// `pausedIn` is given, standing in that routine while the script is paused in it, so that its
// parameters, locals and Function result come before the module variables. What the text declares
// or makes by assigning is a module variable either way. In a class's routine, the instance's
// variables and routines come before the module's.
std::optional<ScriptError> resolveTyped(Module& snippet, GlobalTable& globals,
                                        const Definitions& definitions,
                                        const Procedure* pausedIn = nullptr);
// An expression typed at run time, seeing the same names as typed statements.
std::optional<ScriptError> resolveExpression(ExprPtr& expr, GlobalTable& globals,
                                             const Definitions& definitions,
                                             bool optionExplicit = false,
                                             const Procedure* pausedIn = nullptr);

} // namespace velscript::lang
