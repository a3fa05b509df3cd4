#pragma once

#include "lang/value.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace velscript::lang {

// Conversions between value types as BASIC does them; each throws RuntimeError (Type mismatch,
// Invalid use of Null, Overflow) where the value has no such form.

// Integers in decimal, doubles in the shortest form that reads back the same, True/False,
// empty as "". Null, arrays and Nothing have no text form.
QString toText(const Value& value);
double toDouble(const Value& value);
// Rounds half to even, as CInt does; Overflow outside 32 bits.
std::int32_t toInt32(const Value& value);
bool toBool(const Value& value);
// Empty, Booleans (-1/0), integers and doubles as they are; numeric texts parsed to doubles.
Value toNumber(const Value& value);
// What an object stands for, or the value itself.
Value plainValue(const Value& value);

// A finite number a text reads as (spaces around, decimal, exponent, &H hexadecimal), or none.
std::optional<double> parseNumber(const QString& text);
QString typeName(const Value& value);

// A double back to an integer value where it fits (results of CInt, Int, Fix...).
std::int32_t checkedInt32(double value);

} // namespace velscript::lang
