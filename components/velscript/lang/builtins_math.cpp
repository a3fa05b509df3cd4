#include "lang/builtins.h"

#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"

#include <QDateTime>

#include <bit>
#include <cmath>
#include <limits>

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

// A function of a double whose result must be finite; Null is an invalid use, as in arithmetic.
double finite(double result)
{
    if (!std::isfinite(result))
        throw RuntimeError(ErrorNumber::Overflow);
    return result;
}

Value exponential(Machine&, Args args)
{
    return Value(finite(std::exp(toDouble(number(args[0])))));
}

Value arcTangent(Machine&, Args args)
{
    return Value(std::atan(toDouble(number(args[0]))));
}

Value sine(Machine&, Args args)
{
    return Value(std::sin(toDouble(number(args[0]))));
}

Value cosine(Machine&, Args args)
{
    return Value(std::cos(toDouble(number(args[0]))));
}

Value tangent(Machine&, Args args)
{
    return Value(finite(std::tan(toDouble(number(args[0])))));
}

// Hex and Oct write the 32-bit pattern, so negative numbers in two's complement; Null stays Null.
Value digitsOf(const Value& value, int base)
{
    if (value.isNull())
        return Value::null();
    const auto bits = std::uint32_t(toInt32(number(value)));
    return Value(QString::number(bits, base).toUpper());
}

Value hexadecimal(Machine&, Args args)
{
    return digitsOf(args[0], 16);
}

Value octal(Machine&, Args args)
{
    return digitsOf(args[0], 8);
}

// A byte as a Long: rounded half to even like CInt, Overflow outside 0 to 255.
Value toByte(Machine&, Args args)
{
    const double n = std::nearbyint(toDouble(number(args[0])));
    if (!(n >= 0 && n <= 255))
        throw RuntimeError(ErrorNumber::Overflow);
    return Value(std::int32_t(n));
}

// A single-precision number, kept as the Double it is exactly.
Value toSingle(Machine&, Args args)
{
    const double n = toDouble(number(args[0]));
    // From half a unit past the largest single on, a number rounds to infinity.
    if (std::fabs(n) >= double(std::numeric_limits<float>::max()) + 0x1p103)
        throw RuntimeError(ErrorNumber::Overflow);
    return Value(double(float(n)));
}

// Rnd is the classic 24-bit linear congruential sequence: the same seed gives the same numbers
// in every run, and a negative argument is a seed of its own.
std::uint32_t nextSeed(std::uint32_t seed)
{
    return (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
}

Value randomNumber(Machine& machine, Args args)
{
    const double n = args.empty() ? 1.0 : toDouble(number(args[0]));
    if (n < 0) {
        // The seed comes from the number's single-precision bits; past the singles, infinity's.
        constexpr float lowest = std::numeric_limits<float>::lowest();
        const float single =
            n < double(lowest) ? -std::numeric_limits<float>::infinity() : float(n);
        const auto bits = std::bit_cast<std::uint32_t>(single);
        machine.randomSeed = nextSeed((bits + (bits >> 24)) & 0xFFFFFFu);
    } else if (n > 0) {
        machine.randomSeed = nextSeed(machine.randomSeed);
    }
    return Value(double(machine.randomSeed) / 16777216.0);
}

// Randomize [n] changes the middle bits of the seed from n (the clock without one), so the same n
// repeats a sequence only after Rnd with a negative argument has set the rest.
Value randomize(Machine& machine, Args args)
{
    const double n = args.empty() ? QTime::currentTime().msecsSinceStartOfDay() / 1000.0
                                  : toDouble(number(args[0]));
    const auto high = std::uint32_t(std::bit_cast<std::uint64_t>(n) >> 32);
    const std::uint32_t middle = ((high ^ (high >> 16)) & 0xFFFFu) << 8;
    machine.randomSeed = (machine.randomSeed & 0xFF0000FFu) | middle;
    return Value();
}

// Seconds since midnight, with the milliseconds.
Value timer(Machine&, Args)
{
    return Value(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

constexpr BuiltinDef mathTable[] = {
    {"Abs", 1, 1, absolute},    {"Int", 1, 1, integerPart},  {"Fix", 1, 1, fixPart},
    {"Sgn", 1, 1, sign},        {"Sqr", 1, 1, squareRoot},   {"Round", 1, 2, roundTo},
    {"Timer", 0, 0, timer},     {"Exp", 1, 1, exponential},  {"Atn", 1, 1, arcTangent},
    {"Sin", 1, 1, sine},        {"Cos", 1, 1, cosine},       {"Tan", 1, 1, tangent},
    {"Hex", 1, 1, hexadecimal}, {"Oct", 1, 1, octal},        {"CByte", 1, 1, toByte},
    {"CSng", 1, 1, toSingle},   {"Rnd", 0, 1, randomNumber}, {"Randomize", 0, 1, randomize},
};

} // namespace

std::span<const BuiltinDef> mathBuiltins()
{
    return mathTable;
}

} // namespace velscript::lang
