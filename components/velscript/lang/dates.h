#pragma once

#include "lang/value.h"

#include <QDateTime>
#include <QString>

#include <cstddef>
#include <optional>
#include <span>

namespace velscript::lang {

// A Date is a number of days since 1899-12-30, its fraction the time of day: the dialect's date
// serial. The whole part counts days toward zero; the fraction's size is the time, also for
// dates before the origin (-1.25 is 1899-12-29 06:00).

// The serials of 100-01-01 00:00:00 and 9999-12-31 23:59:59, the dates a script can hold.
inline constexpr double FirstDateSerial = -657434.0;
inline constexpr double LastDateSerial = 2958465.99998843;

double dateSerial(const QDateTime& moment);
double dateSerial(QDate date, QTime time);
// The date and time of a serial, to the second (rounded half up), in UTC.
QDateTime dateOfSerial(double serial);
// ISO 8601, never the machine's locale: "2024-01-31", "13:45:00" for a serial without days,
// "2024-01-31 13:45:00".
QString dateText(double serial);
// A date or a time written as scripts write them: "2024-01-31", "2024-01-31 13:45[:00]",
// "13:45[:00]", "1/31/2024" (month first), with or without the time; nothing otherwise, or when
// the date is outside the years 100 to 9999.
std::optional<double> parseDate(const QString& text);
// Whether a serial is one a Date may hold.
bool inDateRange(double serial);
// The Date of a serial; run-time error 6 (Overflow) outside the years a Date may hold.
Value checkedDate(double serial);

// The serial of what a value reads as: a Date, a number of days, a text that reads as a date. A
// number outside the years a date may hold overflows; anything else is no date (error 13).
double requiredSerial(const Value& value);
// The date and time an argument stands for: error 13 when it is none, nothing for Null (which the
// date built-ins pass through).
std::optional<QDateTime> momentOf(const Value& argument);
// The first day of the week an optional argument names: 1 Sunday to 7 Saturday; 0, the system's,
// is Sunday here, never the machine's locale. Error 5 for any other number.
int firstDayOfWeek(std::span<const Value> args, std::size_t at);
// The day of the week of a date, 1 to 7 counting from `firstDay` (1 Sunday to 7 Saturday).
int dayOfWeek(QDate date, int firstDay);

} // namespace velscript::lang
