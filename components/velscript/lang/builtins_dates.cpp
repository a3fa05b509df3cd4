// The Date value's own built-ins: the clock, and turning values into dates.
#include "lang/builtins.h"
#include "lang/conversions.h"
#include "lang/dates.h"
#include "lang/errors.h"

#include <cmath>

namespace velscript::lang {

namespace {

using Args = std::span<const Value>;

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
    return Value::date(requiredSerial(value));
}

template <int Part> Value datePart(Machine&, Args args)
{
    const auto moment = momentOf(args[0]);
    if (!moment)
        return Value::null();
    switch (Part) {
    case 0:
        return Value(std::int32_t(moment->date().year()));
    case 1:
        return Value(std::int32_t(moment->date().month()));
    case 2:
        return Value(std::int32_t(moment->date().day()));
    case 3:
        return Value(std::int32_t(moment->time().hour()));
    case 4:
        return Value(std::int32_t(moment->time().minute()));
    default:
        return Value(std::int32_t(moment->time().second()));
    }
}

Value weekday(Machine&, Args args)
{
    const auto moment = momentOf(args[0]);
    if (!moment)
        return Value::null();
    return Value(std::int32_t(dayOfWeek(moment->date(), firstDayOfWeek(args, 1))));
}

Value weekdayName(Machine&, Args args)
{
    const std::int32_t number = toInt32(args[0]);
    if (number < 1 || number > 7)
        throw RuntimeError(ErrorNumber::InvalidCall);
    const bool abbreviate = args.size() > 1 && toBool(args[1]);
    static const char* const names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    const QString name = QString::fromLatin1(names[(number - 1 + firstDayOfWeek(args, 2) - 1) % 7]);
    return Value(abbreviate ? name.left(3) : name);
}

Value monthName(Machine&, Args args)
{
    const std::int32_t number = toInt32(args[0]);
    if (number < 1 || number > 12)
        throw RuntimeError(ErrorNumber::InvalidCall);
    static const char* const names[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
    const QString name = QString::fromLatin1(names[number - 1]);
    return Value(args.size() > 1 && toBool(args[1]) ? name.left(3) : name);
}

// Months and days past their ranges carry over, as in the dialect: DateSerial(2024, 14, 0) is
// 2025-01-31.
Value dateSerialOf(Machine&, Args args)
{
    for (const Value& part : args) {
        if (plainValue(part).isNull())
            throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    }
    const std::int32_t year = toInt32(args[0]);
    const std::int32_t month = toInt32(args[1]);
    const std::int32_t day = toInt32(args[2]);
    // Two-digit years are of the twentieth or twenty-first century, as the dialect reads them.
    const int fullYear = year >= 0 && year < 30    ? 2000 + year
                         : year < 100 && year >= 0 ? 1900 + year
                                                   : year;
    if (fullYear < 100 || fullYear > 9999)
        throw RuntimeError(ErrorNumber::InvalidCall);
    const QDate first = QDate(fullYear, 1, 1).addMonths(month - 1);
    if (!first.isValid())
        throw RuntimeError(ErrorNumber::Overflow);
    return checkedDate(dateSerial(QDateTime(first, QTime(0, 0))) + double(day) - 1.0);
}

Value timeSerialOf(Machine&, Args args)
{
    for (const Value& part : args) {
        if (plainValue(part).isNull())
            throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    }
    const double seconds =
        double(toInt32(args[0])) * 3600.0 + double(toInt32(args[1])) * 60.0 + toInt32(args[2]);
    return checkedDate(seconds / 86400.0);
}

Value dateValueOf(Machine&, Args args)
{
    const auto moment = momentOf(args[0]);
    if (!moment)
        return Value::null();
    return Value::date(dateSerial(QDateTime(moment->date(), QTime(0, 0))));
}

Value timeValueOf(Machine&, Args args)
{
    const auto moment = momentOf(args[0]);
    if (!moment)
        return Value::null();
    return Value::date(double(moment->time().msecsSinceStartOfDay()) / 86400000.0);
}

Value isDateValue(Machine&, Args args)
{
    const Value& value = args[0];
    if (value.isDate())
        return Value(true);
    return Value(value.isString() && parseDate(value.string()).has_value());
}

constexpr BuiltinDef dates[] = {
    {"Now", 0, 0, clockNow},
    {"Date", 0, 0, clockDate},
    {"Time", 0, 0, clockTime},
    {"CDate", 1, 1, convertToDate},
    {"IsDate", 1, 1, isDateValue},
    {"Year", 1, 1, datePart<0>},
    {"Month", 1, 1, datePart<1>},
    {"Day", 1, 1, datePart<2>},
    {"Hour", 1, 1, datePart<3>},
    {"Minute", 1, 1, datePart<4>},
    {"Second", 1, 1, datePart<5>},
    {"Weekday", 1, 2, weekday},
    {"WeekdayName", 1, 3, weekdayName},
    {"MonthName", 1, 2, monthName},
    {"DateSerial", 3, 3, dateSerialOf},
    {"TimeSerial", 3, 3, timeSerialOf},
    {"DateValue", 1, 1, dateValueOf},
    {"TimeValue", 1, 1, timeValueOf},
};

} // namespace

std::span<const BuiltinDef> dateBuiltins()
{
    return dates;
}

} // namespace velscript::lang
