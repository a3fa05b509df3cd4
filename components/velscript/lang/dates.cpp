#include "lang/dates.h"

#include "lang/conversions.h"
#include "lang/errors.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace velscript::lang {

namespace {

constexpr qint64 MsecsPerDay = 24 * 60 * 60 * 1000;

QDate origin()
{
    return QDate(1899, 12, 30);
}

} // namespace

bool inDateRange(double serial)
{
    return std::isfinite(serial) && serial >= FirstDateSerial && serial <= LastDateSerial;
}

Value checkedDate(double serial)
{
    if (!inDateRange(serial))
        throw RuntimeError(ErrorNumber::Overflow);
    return Value::date(serial);
}

double requiredSerial(const Value& value)
{
    if (value.isDate())
        return value.number();
    if (value.isInteger() || value.type() == Type::Double)
        return checkedDate(toDouble(value)).number();
    if (value.isString()) {
        if (const auto serial = parseDate(value.string()))
            return *serial;
    }
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

std::optional<QDateTime> momentOf(const Value& argument)
{
    const Value value = plainValue(argument);
    if (value.isNull())
        return std::nullopt;
    return dateOfSerial(requiredSerial(value));
}

int firstDayOfWeek(std::span<const Value> args, std::size_t at)
{
    if (args.size() <= at || args[at].isEmpty())
        return 1;
    const std::int32_t day = toInt32(args[at]);
    if (day < 0 || day > 7)
        throw RuntimeError(ErrorNumber::InvalidCall);
    return day == 0 ? 1 : day;
}

int dayOfWeek(QDate date, int firstDay)
{
    const int sundayFirst = date.dayOfWeek() % 7 + 1; // Qt counts from Monday as 1
    return (sundayFirst - firstDay + 7) % 7 + 1;
}

double dateSerial(const QDateTime& moment)
{
    return dateSerial(moment.date(), moment.time());
}

double dateSerial(QDate date, QTime time)
{
    const double days = double(origin().daysTo(date));
    const double fraction = double(time.msecsSinceStartOfDay()) / double(MsecsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime dateOfSerial(double serial)
{
    const double whole = std::trunc(serial);
    // Whole seconds, so that 0.99999999 reads as the next day's midnight, not 23:59:60.
    qint64 seconds = std::llround(std::fabs(serial - whole) * 86400.0);
    qint64 days = qint64(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += whole < 0 ? -1 : 1;
    }
    // In UTC: a serial has no time zone, and a local time asks the system for its zone (reading
    // the zone's file) at every call.
    return QDateTime(origin().addDays(days), QTime(0, 0).addSecs(int(seconds)), QTimeZone::utc());
}

QString dateText(double serial)
{
    const QDateTime moment = dateOfSerial(serial);
    const QString date = moment.date().toString(Qt::ISODate);
    const QString time = moment.time().toString(QStringLiteral("HH:mm:ss"));
    if (std::trunc(serial) == 0.0 && moment.time() != QTime(0, 0))
        return time;
    if (moment.time() == QTime(0, 0))
        return date;
    return date + u' ' + time;
}

std::optional<double> parseDate(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(?:(\d{1,4})-(\d{1,2})-(\d{1,2})|(\d{1,2})/(\d{1,2})/(\d{1,4}))?)"
                       R"(\s*(?:(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || text.trimmed().isEmpty())
        return std::nullopt;
    const bool iso = match.capturedLength(1) > 0;
    const bool us = match.capturedLength(4) > 0;
    const bool hasTime = match.capturedLength(7) > 0;
    QDate date = origin();
    if (iso || us) {
        const int year = (iso ? match.captured(1) : match.captured(6)).toInt();
        const int month = (iso ? match.captured(2) : match.captured(4)).toInt();
        const int day = (iso ? match.captured(3) : match.captured(5)).toInt();
        date = QDate(year, month, day);
        if (!date.isValid() || year < 100)
            return std::nullopt;
    }
    QTime time(0, 0);
    if (hasTime) {
        int hour = match.captured(7).toInt();
        const QString half = match.captured(10).toUpper();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (half == QLatin1StringView("PM") ? 12 : 0);
        }
        time = QTime(hour, match.captured(8).toInt(), match.captured(9).toInt());
        if (!time.isValid())
            return std::nullopt;
    }
    if (!iso && !us && !hasTime)
        return std::nullopt;
    return dateSerial(QDateTime(date, time));
}

} // namespace velscript::lang
