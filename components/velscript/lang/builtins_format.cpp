#include "lang/builtins.h"

#include "lang/conversions.h"
#include "lang/errors.h"
#include "lang/machine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

// FormatNumber and FormatPercent. They write a fixed `.` and `,` whatever the machine's locale,
// so that a script logs the same text everywhere.

namespace velscript::lang {
namespace {

using Args = std::span<const Value>;

// The most digits after the point a script may ask for.
constexpr std::int32_t maxDigits = 255;

enum class Tristate { False, True, Default };

Tristate tristate(Args args, size_t at)
{
    if (args.size() <= at)
        return Tristate::Default;
    switch (toInt32(plainValue(args[at]))) {
    case -1:
        return Tristate::True;
    case 0:
        return Tristate::False;
    case -2:
        return Tristate::Default;
    default:
        throw RuntimeError(ErrorNumber::InvalidCall);
    }
}

struct Layout {
    std::int32_t digits = 2;
    bool leadingDigit = true;
    bool parentheses = false;
    bool grouping = true;
};

Layout layoutOf(Args args)
{
    Layout layout;
    if (args.size() > 1) {
        const std::int32_t digits = toInt32(plainValue(args[1]));
        if (digits < -1 || digits > maxDigits)
            throw RuntimeError(ErrorNumber::InvalidCall);
        if (digits >= 0)
            layout.digits = digits;
    }
    layout.leadingDigit = tristate(args, 2) != Tristate::False;
    layout.parentheses = tristate(args, 3) == Tristate::True;
    layout.grouping = tristate(args, 4) != Tristate::False;
    return layout;
}

// The number's first 15 significant digits, as a double holds them, rounded half away from zero
// to `digits` places after the point, in decimal so that 1.005 rounds to 1.01.
QString formatted(double value, const Layout& layout, QStringView suffix)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14)
                         .ptr;
    // d.dddddddddddddde±x: the digits, and where the point goes among them.
    std::string significant(1, buffer[0]);
    const char* exponentAt = std::find(buffer, end, 'e');
    significant.append(buffer + 2, size_t(exponentAt - (buffer + 2)));
    int exponent = 0;
    std::from_chars(exponentAt + (exponentAt[1] == '+' ? 2 : 1), end, exponent);
    int integerDigits = exponent + 1; // may be 0 or less: the digits start after the point

    // Rounding: keep the digits up to `digits` places after the point.
    const long keep = long(integerDigits) + layout.digits;
    if (keep < long(significant.size())) {
        const bool up = keep >= 0 && significant[size_t(keep)] >= '5';
        significant.resize(size_t(std::max(keep, 0L)));
        if (up) {
            long i = keep - 1;
            for (; i >= 0 && significant[size_t(i)] == '9'; --i)
                significant[size_t(i)] = '0';
            if (i >= 0) {
                ++significant[size_t(i)];
            } else {
                significant.insert(significant.begin(), '1');
                ++integerDigits;
            }
        } else if (keep < 0) {
            significant.clear();
        }
    }
    const auto digitAt = [&](long position) { // position 0 is the first of `significant`
        return position >= 0 && position < long(significant.size()) ? significant[size_t(position)]
                                                                    : '0';
    };
    const bool zero = significant.find_first_not_of('0') == std::string::npos;

    QString out;
    if (integerDigits > 0) {
        for (long i = 0; i < integerDigits; ++i) {
            if (layout.grouping && i > 0 && (integerDigits - i) % 3 == 0)
                out += u',';
            out += QLatin1Char(digitAt(i));
        }
    } else if (layout.leadingDigit || layout.digits == 0) { // a number is never written as ""
        out += u'0';
    }
    if (layout.digits > 0) {
        out += u'.';
        for (long i = 0; i < layout.digits; ++i)
            out += QLatin1Char(digitAt(integerDigits + i));
    }
    out += suffix;
    // A number that rounds to zero is written without a sign.
    if (value < 0 && !zero)
        return layout.parentheses ? u'(' + out + u')' : u'-' + out;
    return out;
}

double numberArgument(const Value& value)
{
    return toDouble(toNumber(plainValue(value)));
}

// FormatNumber(x[, digits[, leadingDigit[, parentheses[, grouping]]]]): digits after the point
// (-1: the default 2), the tristates -1 True, 0 False, -2 the default.
Value formatNumber(Machine&, Args args)
{
    const double value = numberArgument(args[0]);
    return Value(formatted(value, layoutOf(args), {}));
}

// FormatPercent: the same for x times 100, followed by `%`.
Value formatPercent(Machine&, Args args)
{
    const double value = numberArgument(args[0]) * 100;
    if (!std::isfinite(value))
        throw RuntimeError(ErrorNumber::Overflow);
    return Value(formatted(value, layoutOf(args), u"%"));
}

constexpr BuiltinDef formatTable[] = {
    {"FormatNumber", 1, 5, formatNumber},
    {"FormatPercent", 1, 5, formatPercent},
};

} // namespace

std::span<const BuiltinDef> formatBuiltins()
{
    return formatTable;
}

} // namespace velscript::lang
