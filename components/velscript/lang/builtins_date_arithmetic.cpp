// Counting in the dialect's intervals: DateAdd, DateDiff and DatePart; and FormatDateTime, whose
// forms are fixed English ones that never depend on the machine's locale.
#include "lang/builtins.h"
#include "lang/conversions.h"
#include "lang/dates.h"
#include "lang/errors.h"

#include <cstdlib>

namespace velscript::lang {

namespace {

using Args = std::span<const Value>;

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

// The interval a text names, in any case: error 5 for any other text, 94 for Null.
Interval intervalOf(const Value& argument)
{
    static constexpr struct {
        QStringView name;
        Interval interval;
    } names[] = {
        {u"yyyy", Interval::Year},   {u"q", Interval::Quarter}, {u"m", Interval::Month},
        {u"y", Interval::DayOfYear}, {u"d", Interval::Day},     {u"w", Interval::Weekday},
        {u"ww", Interval::Week},     {u"h", Interval::Hour},    {u"n", Interval::Minute},
        {u"s", Interval::Second},
    };
    const Value value = plainValue(argument);
    if (value.isNull())
        throw RuntimeError(ErrorNumber::InvalidUseOfNull);
    const QString text = value.isString() ? value.string() : toText(value);
    for (const auto& entry : names) {
        if (QStringView(text).compare(entry.name, Qt::CaseInsensitive) == 0)
            return entry.interval;
    }
    throw RuntimeError(ErrorNumber::InvalidCall);
}

enum FirstWeek { FirstJan1 = 1, FirstFourDays = 2, FirstFullWeek = 3 };

// The rule an optional argument names for the year's first week; 0, the system's, is the week of
// January 1 here, never the machine's locale.
FirstWeek firstWeekOfYear(Args args, size_t at)
{
    if (args.size() <= at || args[at].isEmpty())
        return FirstJan1;
    const std::int32_t rule = toInt32(args[at]);
    if (rule < 0 || rule > 3)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return rule == 0 ? FirstJan1 : FirstWeek(rule);
}

QDate startOfWeek(QDate date, int firstDay)
{
    return date.addDays(1 - dayOfWeek(date, firstDay));
}

// Week 1 is the week of January 1, of January 4 (the first with four days of the year) or of
// January 7 (the first with all seven).
QDate firstWeekStart(int year, int firstDay, FirstWeek rule)
{
    const int day = rule == FirstJan1 ? 1 : rule == FirstFourDays ? 4 : 7;
    return startOfWeek(QDate(year, 1, day), firstDay);
}

// Days before week 1 are in the previous year's last week. Under the four-day rule the last days
// of December may be in the next year's week 1; under the January 1 rule they never are, and a
// year may have 54 weeks.
int weekOfYear(QDate date, int firstDay, FirstWeek rule)
{
    QDate start = firstWeekStart(date.year(), firstDay, rule);
    if (date < start)
        start = firstWeekStart(date.year() - 1, firstDay, rule);
    else if (rule == FirstFourDays && date >= firstWeekStart(date.year() + 1, firstDay, rule))
        return 1;
    return int(start.daysTo(date) / 7) + 1;
}

int quarterOf(QDate date)
{
    return (date.month() - 1) / 3 + 1;
}

constexpr qint64 SecondsPerDay = 86400;

// Seconds since the start of the Julian day count, so that every date of the range is positive
// and whole hours and minutes are plain divisions.
qint64 absoluteSeconds(QDate date, QTime time)
{
    return date.toJulianDay() * SecondsPerDay + time.msecsSinceStartOfDay() / 1000;
}

qint64 absoluteSeconds(const QDateTime& moment)
{
    return absoluteSeconds(moment.date(), moment.time());
}

[[noreturn]] void outOfRange()
{
    throw RuntimeError(ErrorNumber::InvalidCall);
}

// DateAdd(interval, number, date): the number is read as a Long (rounded half to even); months,
// quarters and years that land past a month's end stop at its last day. A result outside the
// years 100 to 9999 is error 5.
Value dateAdd(Machine&, Args args)
{
    const Interval interval = intervalOf(args[0]);
    const qint64 count = toInt32(plainValue(args[1]));
    const auto moment = momentOf(args[2]);
    if (!moment)
        return Value::null();
    QDate date = moment->date();
    QTime time = moment->time();
    // Counts this far past the range cannot land in it; Qt counts months and years in an int.
    const auto checkMonths = [](qint64 months) {
        if (std::llabs(months) > 12 * 10000)
            outOfRange();
        return int(months);
    };
    qint64 seconds = 0;
    switch (interval) {
    case Interval::Year:
        date = date.addMonths(checkMonths(count * 12));
        break;
    case Interval::Quarter:
        date = date.addMonths(checkMonths(count * 3));
        break;
    case Interval::Month:
        date = date.addMonths(checkMonths(count));
        break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        date = date.addDays(count);
        break;
    case Interval::Week:
        date = date.addDays(count * 7);
        break;
    case Interval::Hour:
        seconds = count * 3600;
        break;
    case Interval::Minute:
        seconds = count * 60;
        break;
    case Interval::Second:
        seconds = count;
        break;
    }
    if (seconds != 0) {
        const qint64 total = absoluteSeconds(date, time) + seconds;
        if (total < 0)
            outOfRange();
        date = QDate::fromJulianDay(total / SecondsPerDay);
        time = QTime::fromMSecsSinceStartOfDay(int(total % SecondsPerDay) * 1000);
    }
    if (!date.isValid())
        outOfRange();
    const double serial = dateSerial(date, time);
    if (!inDateRange(serial))
        outOfRange();
    return Value::date(serial);
}

// DateDiff(interval, date1, date2[, firstDay[, firstWeek]]): the boundaries of the interval
// crossed from date1 to date2, negative when date2 is earlier. "w" counts whole weeks of days,
// "ww" the first days of weeks after date1 up to date2. The first-week rule is checked but moves
// no boundary between two dates.
Value dateDiff(Machine&, Args args)
{
    const Interval interval = intervalOf(args[0]);
    const int firstDay = firstDayOfWeek(args, 3);
    firstWeekOfYear(args, 4);
    const auto from = momentOf(args[1]);
    const auto to = momentOf(args[2]);
    if (!from || !to)
        return Value::null();
    const QDate a = from->date();
    const QDate b = to->date();
    qint64 count = 0;
    switch (interval) {
    case Interval::Year:
        count = b.year() - a.year();
        break;
    case Interval::Quarter:
        count = (b.year() - a.year()) * 4 + quarterOf(b) - quarterOf(a);
        break;
    case Interval::Month:
        count = (b.year() - a.year()) * 12 + b.month() - a.month();
        break;
    case Interval::DayOfYear:
    case Interval::Day:
        count = a.daysTo(b);
        break;
    case Interval::Weekday:
        count = a.daysTo(b) / 7;
        break;
    case Interval::Week:
        count = startOfWeek(a, firstDay).daysTo(startOfWeek(b, firstDay)) / 7;
        break;
    case Interval::Hour:
        count = absoluteSeconds(*to) / 3600 - absoluteSeconds(*from) / 3600;
        break;
    case Interval::Minute:
        count = absoluteSeconds(*to) / 60 - absoluteSeconds(*from) / 60;
        break;
    case Interval::Second:
        count = absoluteSeconds(*to) - absoluteSeconds(*from);
        break;
    }
    return Value(checkedInt32(double(count)));
}

// DatePart(interval, date[, firstDay[, firstWeek]]).
Value partOfDate(Machine&, Args args)
{
    const Interval interval = intervalOf(args[0]);
    const int firstDay = firstDayOfWeek(args, 2);
    const FirstWeek rule = firstWeekOfYear(args, 3);
    const auto moment = momentOf(args[1]);
    if (!moment)
        return Value::null();
    const QDate date = moment->date();
    const QTime time = moment->time();
    switch (interval) {
    case Interval::Year:
        return Value(std::int32_t(date.year()));
    case Interval::Quarter:
        return Value(std::int32_t(quarterOf(date)));
    case Interval::Month:
        return Value(std::int32_t(date.month()));
    case Interval::DayOfYear:
        return Value(std::int32_t(date.dayOfYear()));
    case Interval::Day:
        return Value(std::int32_t(date.day()));
    case Interval::Weekday:
        return Value(std::int32_t(dayOfWeek(date, firstDay)));
    case Interval::Week:
        return Value(std::int32_t(weekOfYear(date, firstDay, rule)));
    case Interval::Hour:
        return Value(std::int32_t(time.hour()));
    case Interval::Minute:
        return Value(std::int32_t(time.minute()));
    case Interval::Second:
        break;
    }
    return Value(std::int32_t(time.second()));
}

// FormatDateTime(date[, form]): vbGeneralDate the Date's own text form, vbLongDate
// "Wednesday, January 31, 2024", vbShortDate "2024-01-31", vbLongTime "13:45:00", vbShortTime
// "13:45". Qt writes the names in English whatever the locale.
Value formatDateTime(Machine&, Args args)
{
    const std::int32_t form =
        args.size() > 1 && !args[1].isEmpty() ? toInt32(plainValue(args[1])) : 0;
    if (form < 0 || form > 4)
        throw RuntimeError(ErrorNumber::InvalidCall);
    const Value value = plainValue(args[0]);
    if (value.isNull())
        return Value::null();
    const double serial = requiredSerial(value);
    if (form == 0)
        return Value(dateText(serial));
    const QDateTime moment = dateOfSerial(serial);
    switch (form) {
    case 1:
        return Value(moment.date().toString(u"dddd, MMMM d, yyyy"));
    case 2:
        return Value(moment.date().toString(Qt::ISODate));
    case 3:
        return Value(moment.time().toString(u"HH:mm:ss"));
    default:
        return Value(moment.time().toString(u"HH:mm"));
    }
}

constexpr BuiltinDef dateArithmetic[] = {
    {"DateAdd", 3, 3, dateAdd},
    {"DateDiff", 3, 5, dateDiff},
    {"DatePart", 2, 4, partOfDate},
    {"FormatDateTime", 1, 2, formatDateTime},
};

} // namespace

std::span<const BuiltinDef> dateArithmeticBuiltins()
{
    return dateArithmetic;
}

} // namespace velscript::lang
