' Exp and the trigonometric functions work in radians on doubles.
Log Exp(0) & " " & Exp(1) & " " & TypeName(Exp(0)) ' expect: 1 2.718281828459045 Double
Log Atn(1) * 4 & " " & Atn(0) ' expect: 3.141592653589793 0
Pi = Atn(1) * 4
Log Sin(0) & " " & Cos(0) & " " & Tan(0) & " " & Cos(Pi) ' expect: 0 1 0 -1
Log Round(Sin(Pi / 2), 12) & " " & Round(Tan(Pi / 4), 12) & " " & Round(Sin(Pi / 6), 12) ' expect: 1 1 0.5
Log Exp(-1000) & " " & (Atn(1E+300) = Pi / 2) ' expect: 0 True
Log Sin("0") & " " & (Cos(True) = Cos(-1)) ' expect: 0 True
On Error Resume Next
x = Exp(710)
Log Err.Number ' expect: 6
Err.Clear
x = Sin(Null)
Log Err.Number & " " & Err.Description ' expect: 94 Invalid use of Null
Err.Clear
x = Cos("zero")
Log Err.Number ' expect: 13
Err.Clear
x = Atn(Array())
Log Err.Number ' expect: 13
Err.Clear
x = Tan(1, 2)
Log Err.Number ' expect: 450
