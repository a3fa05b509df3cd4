#pragma once

#include "lang/value.h"

#include <cstdint>

namespace velscript::lang {

enum class BinaryOp : std::uint8_t {
    Power,
    Multiply,
    Divide,
    IntDivide,
    Mod,
    Add,
    Subtract,
    Concat,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Is,
    And,
    Or,
    Xor,
};

enum class UnaryOp : std::uint8_t { Negate, Plus, Not };

// The operators on any two values, with BASIC's coercions: Null propagates, integers stay
// integers until they overflow (a run-time error), `/` and `^` give doubles, `+` of two texts
// joins them. The interpreter handles the integer fast paths before calling these.
Value binary(BinaryOp op, const Value& left, const Value& right);
Value unary(UnaryOp op, const Value& operand);
// -1, 0 or 1; both values are plain (not Null, not objects).
int compareValues(const Value& left, const Value& right);
// A condition's truth: Null counts as false.
bool isTrue(const Value& value);

} // namespace velscript::lang
