' A Date is its own kind of value: literals, text form in ISO 8601, arithmetic in days.
d = #2024-01-31#
Log d & " " & TypeName(d) & " " & VarType(d) ' expect: 2024-01-31 Date 7
Log #2024-01-31 13:45:00# ' expect: 2024-01-31 13:45:00
Log #13:45# ' expect: 13:45:00
Log #1/31/2024 1:05 PM# ' expect: 2024-01-31 13:05:00
Log CDbl(#1900-01-01#) ' expect: 2
Log d + 1 ' expect: 2024-02-01
Log 1 + d ' expect: 2024-02-01
Log d - 31 ' expect: 2023-12-31
Log TypeName(d - 31) ' expect: Date
Log #2024-03-01# - #2024-02-01# ' expect: 29
Log TypeName(#2024-03-01# - d) ' expect: Double
Log d + 0.5 ' expect: 2024-01-31 12:00:00
Log (#2024-01-31# < #2024-02-01#) & " " & (d = #2024-01-31#) & " " & (d > 45000) ' expect: True True True
Log "on " & d ' expect: on 2024-01-31
Log CDate("2024-02-29 08:30") ' expect: 2024-02-29 08:30:00
Log CDate(45322) ' expect: 2024-01-31
Log IsDate("2024-02-30") & " " & IsDate("2024-02-29") & " " & IsDate(d) & " " & IsDate(5) ' expect: False True True False
Log #1899-12-29 06:00# ' expect: 1899-12-29 06:00:00
Log CDbl(#1899-12-29 06:00#) ' expect: -1.25

' The clock answers Dates.
Log TypeName(Now) & " " & TypeName(Date) & " " & TypeName(Time) ' expect: Date Date Date
Log (Int(Now) = CDbl(Date)) Or (Now - Date > 0.99) ' expect: True
Log (Time >= 0) And (Time < 1) ' expect: True

On Error Resume Next
x = #9999-12-31# + 1
Log "past the last date " & Err.Number ' expect: past the last date 6
Err.Clear
x = CDate("tomorrow")
Log "no date " & Err.Number ' expect: no date 13
Err.Clear
x = CDate(1E9)
Log "too far " & Err.Number ' expect: too far 6
Err.Clear
x = CDate(Null)
Log "null " & Err.Number ' expect: null 94
