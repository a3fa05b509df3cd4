' FormatNumber rounds half away from zero on the decimal digits, with `.` and `,` everywhere.
Log FormatNumber(1234567.891) & " " & FormatNumber(0) & " " & FormatNumber(Empty) & " " & FormatNumber(True) ' expect: 1,234,567.89 0.00 0.00 -1.00
Log FormatNumber(1234.5, 0) & " " & FormatNumber(2.5, 0) & " " & FormatNumber(-2.5, 0) & " " & FormatNumber(1.005, 2) ' expect: 1,235 3 -3 1.01
Log FormatNumber(0.125) & " " & FormatNumber(999.999) & " " & FormatNumber(123, -1) & " " & FormatNumber("1e3", 1) ' expect: 0.13 1,000.00 123.00 1,000.0
Log FormatNumber(0.0005, 3) & " " & FormatNumber(0.0004999, 3) & " " & FormatNumber(0.000001, 3) & " " & FormatNumber(-0.001) ' expect: 0.001 0.000 0.000 0.00
Log FormatNumber(123456.789, 5) & " " & FormatNumber(1 / 3, 20) ' expect: 123,456.78900 0.33333333333333300000
Log FormatNumber(1E+20, 0) & " " & FormatNumber(-2147483648, 0) ' expect: 100,000,000,000,000,000,000 -2,147,483,648
' Leading digit, parentheses for negative numbers and grouping: -1 True, 0 False, -2 the default.
Log FormatNumber(0.5, 2, 0) & " " & FormatNumber(-0.5, 2, vbFalse) & " " & FormatNumber(0.5, 2, vbUseDefault) ' expect: .50 -.50 0.50
Log FormatNumber(0.4, 0, 0) & " " & FormatNumber(-0.6, 0, 0) & " " & FormatNumber(0.04, 1, 0) ' expect: 0 -1 .0
Log FormatNumber(-1234.5, 1, -2, -1) & " " & FormatNumber(1234.5, 1, -2, -1) & " " & FormatNumber(-1, 0, -1, 0) ' expect: (1,234.5) 1,234.5 -1
Log FormatNumber(1234567, 2, -1, 0, 0) & " " & FormatNumber(-999, 0, True, True, False) ' expect: 1234567.00 (999)
Log Len(FormatNumber(1, 255)) & " " & Len(FormatNumber(-1E+308, 0, 0, 0, 0)) ' expect: 257 310
' FormatPercent is the same for the value times 100, followed by %.
Log FormatPercent(0.1234) & " " & FormatPercent(-0.5, 0, -2, -1) & " " & FormatPercent(12.5, 1) & " " & FormatPercent(0.001, 1, 0) ' expect: 12.34% (50%) 1,250.0% .1%
Log FormatPercent(0) & " " & FormatPercent("0.5", 0) & " " & FormatPercent(-0.00001) ' expect: 0.00% 50% 0.00%
On Error Resume Next
x = FormatNumber("abc")
Log Err.Number ' expect: 13
Err.Clear
x = FormatNumber(Null)
Log Err.Number ' expect: 94
Err.Clear
x = FormatNumber(1, -2)
Log Err.Number ' expect: 5
Err.Clear
x = FormatNumber(1, 256)
Log Err.Number ' expect: 5
Err.Clear
x = FormatPercent(1, 2, 1)
Log Err.Number ' expect: 5
Err.Clear
x = FormatNumber(1, 2, -1, -1, Null)
Log Err.Number ' expect: 94
Err.Clear
x = FormatNumber(Array())
Log Err.Number ' expect: 13
Err.Clear
x = FormatPercent(1E+307)
Log Err.Number ' expect: 6
Err.Clear
x = FormatNumber(1, 2, 3, 4, 5, 6)
Log Err.Number ' expect: 450
