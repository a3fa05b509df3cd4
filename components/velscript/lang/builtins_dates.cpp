// The Date value's own built-ins: the clock, and turning values into dates.
#include "lang/builtins.h"
#include "lang/conversions.h"
#include "lang/dates.h"
#include "lang/errors.h"

#include <cmath>

namespace velscript::lang {

namespace {

using Args = std::span<const Value>;

// What a value reads as a date, or nothing: a Date, a number in the range, a text that reads as
// a date or as a number.
std::optional<double> readAsDate(const Value& value)
{
    if (value.isDate())
        return value.number();
    if (value.isString()) {
        if (const auto serial = parseDate(value.string()))
            return serial;
        return std::nullopt;
    }
    if (value.isInteger() || value.type() == Type::Double) {
        const double serial = toDouble(value);
        return inDateRange(serial) ? std::optional<double>(serial) : std::nullopt;
    }
    return std::nullopt;
}

Value clockNow(Machine&, Args)
{
    return Value::date(dateSerial(QDateTime::currentDateTime()));
}

Value clockDate(Machine&, Args)
{
    return Value::date(std::trunc(dateSerial(QDateTime::currentDateTime())));
}

Value clockTime(Machine&, Args)
{
    const double serial = dateSerial(QDateTime::currentDateTime());
    return Value::date(std::fabs(serial - std::trunc(serial)));
}

Value convertToDate(Machine&, Args args)
{
    const Value value = plainValue(args[0]);
    if (value.isNull())
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    if (const auto serial = readAsDate(value))
        return Value::date(*serial);
    // A number outside the years a date may hold overflows; anything else is no date.
    if (value.isInteger() || value.type() == Type::Double)
        throw RuntimeError(ErrorNumber::Overflow);
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

Value isDateValue(Machine&, Args args)
{
    const Value& value = args[0];
    if (value.isDate())
        return Value(true);
    return Value(value.isString() && parseDate(value.string()).has_value());
}

constexpr BuiltinDef dates[] = {
    {"Now", 0, 0, clockNow},        {"Date", 0, 0, clockDate},     {"Time", 0, 0, clockTime},
    {"CDate", 1, 1, convertToDate}, {"IsDate", 1, 1, isDateValue},
};

} // namespace

std::span<const BuiltinDef> dateBuiltins()
{
    return dates;
}

} // namespace velscript::lang
