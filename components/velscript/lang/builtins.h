#pragma once

#include "lang/value.h"

#include <QString>

#include <cstdint>
#include <span>

namespace velscript::lang {

class Machine;

using BuiltinFunction = Value (*)(Machine& machine, std::span<const Value> args);

struct BuiltinDef {
    const char* name;
    int minArgs;
    int maxArgs; // -1: any number
    BuiltinFunction function;
};

// The groups of built-ins, each defined in its own file.
std::span<const BuiltinDef> coreBuiltins();
std::span<const BuiltinDef> textBuiltins();
std::span<const BuiltinDef> mathBuiltins();
std::span<const BuiltinDef> formatBuiltins();
std::span<const BuiltinDef> dateBuiltins();
std::span<const BuiltinDef> dateArithmeticBuiltins();
std::span<const BuiltinDef> codeBuiltins();

// A named constant of the language (vbCrLf, vbTextCompare, vbString...).
struct BuiltinConstant {
    enum Kind { Integer, Text, NullChar };
    const char* name;
    Kind kind;
    std::int32_t integer;
    const char16_t* text;

    Value value() const;
};

// All of them, in one table; and whether a name (any case) is one of them.
std::span<const BuiltinConstant> builtinConstants();
bool isBuiltinConstant(const QString& name);

// The index of a built-in function by name (any case), or -1.
int findBuiltin(const QString& name);
const BuiltinDef& builtinAt(int index);

} // namespace velscript::lang
