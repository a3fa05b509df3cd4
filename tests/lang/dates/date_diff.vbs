' DateDiff counts the interval's boundaries crossed from the first date to the second.
Log DateDiff("yyyy", #2023-12-31#, #2024-01-01#) & " " & DateDiff("yyyy", #2024-01-01#, #2024-12-31#) & " " & DateDiff("yyyy", #2024-01-01#, #2023-12-31#) ' expect: 1 0 -1
Log DateDiff("q", #2024-03-31#, #2024-04-01#) & " " & DateDiff("q", #2023-11-15#, #2024-02-15#) & " " & DateDiff("q", #2024-01-01#, #2024-03-31#) ' expect: 1 1 0
Log DateDiff("m", #2024-01-31#, #2024-02-01#) & " " & DateDiff("m", #2024-03-15#, #2023-12-15#) & " " & DateDiff("m", "2024-01-31", "2024-03-01") ' expect: 1 -3 2
' Days are midnights crossed, whatever the times of day.
Log DateDiff("d", #2024-01-01 23:00#, #2024-01-02 01:00#) & " " & DateDiff("d", #2024-01-01#, #2024-12-31#) & " " & DateDiff("y", #2024-01-01#, #2024-12-31#) & " " & DateDiff("d", #2024-03-01#, #2024-02-01#) ' expect: 1 365 365 -29
Log DateDiff("d", #1899-12-29 23:00#, #1899-12-30 01:00#) & " " & DateDiff("d", #100-01-01#, #9999-12-31#) & " " & DateDiff("yyyy", #100-01-01#, #9999-12-31#) ' expect: 1 3615899 9899
' "w" is whole weeks of days; "ww" counts the first days of weeks after the first date, up to and
' including the second.
Log DateDiff("w", #2024-01-01#, #2024-01-14#) & " " & DateDiff("w", #2024-01-01#, #2024-01-15#) & " " & DateDiff("w", #2024-01-15#, #2024-01-02#) ' expect: 1 2 -1
Log DateDiff("ww", #2024-01-06#, #2024-01-07#) & " " & DateDiff("ww", #2024-01-07#, #2024-01-13#) & " " & DateDiff("ww", #2024-01-07#, #2024-01-06#) & " " & DateDiff("w", #2024-01-06#, #2024-01-07#) ' expect: 1 0 -1 0
Log DateDiff("ww", #2024-01-06#, #2024-01-07#, vbMonday) & " " & DateDiff("ww", #2024-01-06#, #2024-01-08#, vbMonday) & " " & DateDiff("ww", #2024-01-01#, #2024-01-31#, vbUseSystemDayOfWeek, vbFirstFourDays) ' expect: 0 1 4
' Hours, minutes and seconds likewise count boundaries, also before the origin of the serials.
Log DateDiff("h", #2024-01-01 10:59#, #2024-01-01 11:01#) & " " & DateDiff("n", #10:00:59#, #10:01:00#) & " " & DateDiff("s", #2024-01-01#, #2024-01-02#) & " " & DateDiff("h", #2024-01-02#, #2024-01-01 23:30#) ' expect: 1 1 86400 -1
Log DateDiff("h", #1899-12-29 23:30#, #1899-12-30 00:30#) & " " & DateDiff("n", #1899-12-29 23:59:59#, #1899-12-30#) & " " & VarType(DateDiff("d", 1, 2)) ' expect: 1 1 3
Log IsNull(DateDiff("d", Null, #2024-01-01#)) & " " & IsNull(DateDiff("d", #2024-01-01#, Null)) ' expect: True True
On Error Resume Next
x = DateDiff("x", #2024-01-01#, #2024-01-02#)
Log "interval " & Err.Number ' expect: interval 5
Err.Clear
x = DateDiff("d", #2024-01-01#, #2024-01-02#, 8)
Log "first day " & Err.Number ' expect: first day 5
Err.Clear
x = DateDiff("d", #2024-01-01#, #2024-01-02#, 1, 4)
Log "first week " & Err.Number ' expect: first week 5
Err.Clear
x = DateDiff("d", "soon", #2024-01-02#)
Log "no date " & Err.Number ' expect: no date 13
Err.Clear
x = DateDiff("d", #2024-01-01#, Array())
Log "array " & Err.Number ' expect: array 13
Err.Clear
x = DateDiff("s", #100-01-01#, #9999-12-31#)
Log "seconds past a Long " & Err.Number ' expect: seconds past a Long 6
