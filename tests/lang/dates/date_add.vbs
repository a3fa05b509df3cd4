' DateAdd counts in the dialect's intervals; a month, quarter or year that lands past a month's
' end stops at its last day, and the time of day goes along.
Log DateAdd("m", 1, #2024-01-31#) & " " & DateAdd("m", 1, #2023-01-31#) & " " & DateAdd("m", -1, #2024-03-31#) ' expect: 2024-02-29 2023-02-28 2024-02-29
Log DateAdd("yyyy", 1, #2024-02-29#) & " " & DateAdd("yyyy", -4, #2024-02-29#) & " " & DateAdd("q", 1, #2024-11-30#) ' expect: 2025-02-28 2020-02-29 2025-02-28
Log DateAdd("m", 13, #2024-01-15 08:30#) & " / " & DateAdd("q", -2, #2024-05-31 23:59:59#) ' expect: 2025-02-15 08:30:00 / 2023-11-30 23:59:59
' Days of the year, days and weekdays are all days; "ww" is weeks.
Log DateAdd("d", 1, #2024-12-31#) & " " & DateAdd("y", 60, #2024-01-01#) & " " & DateAdd("w", -1, #2024-03-01#) & " " & DateAdd("ww", 2, #2024-02-20#) ' expect: 2025-01-01 2024-03-01 2024-02-29 2024-03-05
Log DateAdd("h", 25, #2024-01-31 13:00#) & " / " & DateAdd("n", -1, #2024-01-01#) & " / " & DateAdd("s", 90, #23:59:00#) ' expect: 2024-02-01 14:00:00 / 2023-12-31 23:59:00 / 1899-12-31 00:00:30
' Before the origin of the serials the time of day still runs forward.
Log DateAdd("h", 1, #1899-12-29 23:30#) & " / " & DateAdd("d", 1, #1899-12-29 06:00#) & " / " & DateAdd("n", -30, #1899-12-30 00:15#) ' expect: 00:30:00 / 06:00:00 / 1899-12-29 23:45:00
' The count is read as a Long, rounded half to even; the interval in any case; the date as CDate reads it.
Log DateAdd("d", 1.5, #2024-01-01#) & " " & DateAdd("d", 2.5, #2024-01-01#) & " " & DateAdd("d", "3", #2024-01-01#) & " " & DateAdd("d", True, #2024-01-02#) ' expect: 2024-01-03 2024-01-03 2024-01-04 2024-01-01
Log DateAdd("YYYY", 1, #2024-01-01#) & " " & DateAdd("M", 1, "2024-01-31") & " " & DateAdd("d", 1, 45322) & " " & TypeName(DateAdd("d", 0, 45322)) ' expect: 2025-01-01 2024-02-29 2024-02-01 Date
' The ends of the range are reachable.
Log DateAdd("d", 1, #9999-12-30#) & " " & DateAdd("s", -1, #100-01-01 00:00:01#) & " " & DateAdd("yyyy", 9899, #100-12-31#) ' expect: 9999-12-31 0100-01-01 9999-12-31
Log IsNull(DateAdd("d", 1, Null)) ' expect: True
On Error Resume Next
x = DateAdd("x", 1, #2024-01-01#)
Log "interval x " & Err.Number ' expect: interval x 5
Err.Clear
x = DateAdd("dd", 1, #2024-01-01#)
Log "interval dd " & Err.Number ' expect: interval dd 5
Err.Clear
x = DateAdd("", 1, Null)
Log "no interval " & Err.Number ' expect: no interval 5
Err.Clear
x = DateAdd(Null, 1, #2024-01-01#)
Log "null interval " & Err.Number ' expect: null interval 94
Err.Clear
x = DateAdd("d", Null, #2024-01-01#)
Log "null count " & Err.Number ' expect: null count 94
Err.Clear
x = DateAdd("d", "many", #2024-01-01#)
Log "text count " & Err.Number ' expect: text count 13
Err.Clear
x = DateAdd("d", Array(1), #2024-01-01#)
Log "array count " & Err.Number ' expect: array count 13
Err.Clear
x = DateAdd("d", 1, "soon")
Log "no date " & Err.Number ' expect: no date 13
Err.Clear
x = DateAdd("d", 1E10, #2024-01-01#)
Log "count past a Long " & Err.Number ' expect: count past a Long 6
Err.Clear
x = DateAdd("d", 1, #9999-12-31#)
Log "past the last day " & Err.Number ' expect: past the last day 5
Err.Clear
x = DateAdd("yyyy", -1, #100-06-01#)
Log "before the first year " & Err.Number ' expect: before the first year 5
Err.Clear
x = DateAdd("h", 2147483647, #2024-01-01#)
Log "hours " & Err.Number ' expect: hours 5
Err.Clear
x = DateAdd("q", 2147483647, #2024-01-01#)
Log "quarters " & Err.Number ' expect: quarters 5
Err.Clear
x = DateAdd("m", -2147483648, #2024-01-01#)
Log "months " & Err.Number ' expect: months 5
Err.Clear
x = DateAdd("ww", -2147483648, #2024-01-01#)
Log "weeks " & Err.Number ' expect: weeks 5
