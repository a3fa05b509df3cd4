#include "lang/builtins.h"

#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"

#include <QDateTime>

#include <cmath>

// Numbers, and the clock. Integers stay integers where the result is whole.

namespace velscript::lang {
namespace {

using Args = std::span<const Value>;

Value number(const Value& value)
{
    return toNumber(plainValue(value));
}

Value absolute(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    const Value n = number(args[0]);
    if (n.isInteger()) {
        if (n.integer() == INT32_MIN)
            throw RuntimeError(ErrorNumber::Overflow);
        return Value(std::abs(n.integer()));
    }
    return Value(std::fabs(n.number()));
}

Value rounded(const Value& value, double (*how)(double))
{
    if (value.isNull())
        return Value::null();
    const Value n = number(value);
    if (n.isInteger())
        return n;
    return Value(how(n.number()));
}

Value integerPart(Machine&, Args args)
{
    return rounded(args[0], std::floor);
}

Value fixPart(Machine&, Args args)
{
    return rounded(args[0], std::trunc);
}

Value sign(Machine&, Args args)
{
    const double n = toDouble(number(args[0]));
    return Value(std::int32_t(n > 0 ? 1 : n < 0 ? -1 : 0));
}

Value squareRoot(Machine&, Args args)
{
    const double n = toDouble(number(args[0]));
    if (n < 0)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return Value(std::sqrt(n));
}

// Round(x[, digits]) rounds half to even.
Value roundTo(Machine&, Args args)
{
    if (args[0].isNull())
        return Value::null();
    const Value n = number(args[0]);
    const std::int32_t digits = args.size() > 1 ? toInt32(args[1]) : 0;
    if (digits < 0 || digits > 15)
        throw RuntimeError(ErrorNumber::InvalidCall);
    // From 2^52 on every double is whole, and scaling it could pass the largest double.
    if (n.isInteger() || std::fabs(n.number()) >= 0x1p52)
        return n;
    const double scale = std::pow(10.0, digits);
    const double result = std::nearbyint(n.number() * scale) / scale;
    return Value(result);
}

Value now(Machine&, Args)
{
    return Value(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

Value date(Machine&, Args)
{
    return Value(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

Value time(Machine&, Args)
{
    return Value(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

// Seconds since midnight, with the milliseconds.
Value timer(Machine&, Args)
{
    return Value(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

constexpr BuiltinDef mathTable[] = {
    {"Abs", 1, 1, absolute}, {"Int", 1, 1, integerPart}, {"Fix", 1, 1, fixPart},
    {"Sgn", 1, 1, sign},     {"Sqr", 1, 1, squareRoot},  {"Round", 1, 2, roundTo},
    {"Now", 0, 0, now},      {"Date", 0, 0, date},       {"Time", 0, 0, time},
    {"Timer", 0, 0, timer},
};

} // namespace

std::span<const BuiltinDef> mathBuiltins()
{
    return mathTable;
}

} // namespace velscript::lang
