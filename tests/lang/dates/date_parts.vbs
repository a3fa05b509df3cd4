' The parts of a Date, and Dates made of parts.
d = #2024-02-29 13:05:09#
Log Year(d) & " " & Month(d) & " " & Day(d) & " " & Hour(d) & " " & Minute(d) & " " & Second(d) ' expect: 2024 2 29 13 5 9
Log Weekday(d) & " " & Weekday(d, vbMonday) & " " & WeekdayName(Weekday(d)) ' expect: 5 4 Thursday
Log WeekdayName(1, True) & " " & WeekdayName(1, False, vbMonday) & " " & MonthName(2) & " " & MonthName(12, True) ' expect: Sun Monday February Dec
Log DateSerial(2024, 2, 29) ' expect: 2024-02-29
Log DateSerial(2024, 14, 0) ' expect: 2025-01-31
Log DateSerial(24, 1, 1) & " " & DateSerial(99, 1, 1) ' expect: 2024-01-01 1999-01-01
Log TimeSerial(13, 5, 9) & " " & TimeSerial(0, 90, 0) ' expect: 13:05:09 01:30:00
Log DateValue(d) & " / " & TimeValue(d) ' expect: 2024-02-29 / 13:05:09
Log Year("2023-12-31") & " " & Month(45322) ' expect: 2023 1
Log IsNull(Year(Null)) & " " & IsNull(DateValue(Null)) ' expect: True True
On Error Resume Next
x = Year("soon")
Log Err.Number ' expect: 13
Err.Clear
x = MonthName(13)
Log Err.Number ' expect: 5
Err.Clear
x = WeekdayName(0)
Log Err.Number ' expect: 5
Err.Clear
x = DateSerial(10000, 1, 1)
Log Err.Number ' expect: 5
Err.Clear
x = DateSerial(2024, 1, Null)
Log Err.Number ' expect: 94
