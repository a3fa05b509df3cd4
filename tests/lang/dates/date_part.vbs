' DatePart names a Date's parts by interval.
d = #2024-08-15 13:05:09#
Log DatePart("yyyy", d) & " " & DatePart("q", d) & " " & DatePart("m", d) & " " & DatePart("y", d) & " " & DatePart("d", d) ' expect: 2024 3 8 228 15
Log DatePart("h", d) & " " & DatePart("n", d) & " " & DatePart("s", d) & " " & DatePart("Q", "2024-12-01") & " " & DatePart("yyyy", 45322) ' expect: 13 5 9 4 2024
' "w" is the weekday counted from the first day of the week.
Log DatePart("w", d) & " " & DatePart("w", d, vbMonday) & " " & DatePart("w", d, vbSaturday) & " " & DatePart("w", d, vbUseSystemDayOfWeek) ' expect: 5 4 6 5
' "ww": week 1 holds January 1, or is the first with four days of the year, or the first whole one.
Log DatePart("ww", d) & " " & DatePart("ww", d, vbMonday, vbFirstFourDays) & " " & DatePart("ww", #2024-01-06#) & " " & DatePart("ww", #2000-12-31#) ' expect: 33 33 1 54
Log DatePart("ww", #2021-01-01#, vbMonday, vbFirstFourDays) & " " & DatePart("ww", #2024-12-30#, vbMonday, vbFirstFourDays) & " " & DatePart("ww", #2024-12-29#, vbMonday, vbFirstFourDays) ' expect: 53 1 52
Log DatePart("ww", #2024-01-06#, vbSunday, vbFirstFullWeek) & " " & DatePart("ww", #2024-01-07#, vbSunday, vbFirstFullWeek) & " " & DatePart("ww", #2024-01-06#, 0, vbUseSystem) & " " & vbUseSystem ' expect: 53 1 1 0
Log IsNull(DatePart("d", Null)) & " " & IsNull(DatePart("ww", Null, vbMonday, vbFirstFullWeek)) ' expect: True True
On Error Resume Next
x = DatePart("x", d)
Log "interval " & Err.Number ' expect: interval 5
Err.Clear
x = DatePart(Null, d)
Log "null interval " & Err.Number ' expect: null interval 94
Err.Clear
x = DatePart("ww", d, 8)
Log "first day " & Err.Number ' expect: first day 5
Err.Clear
x = DatePart("ww", d, 1, 4)
Log "first week " & Err.Number ' expect: first week 5
Err.Clear
x = DatePart("ww", d, Null)
Log "null first day " & Err.Number ' expect: null first day 94
Err.Clear
x = DatePart("d", "soon")
Log "no date " & Err.Number ' expect: no date 13
Err.Clear
x = DatePart("d", Array(d))
Log "array " & Err.Number ' expect: array 13
