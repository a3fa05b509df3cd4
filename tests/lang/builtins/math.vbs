Log Abs(-3) & " " & Abs(-2.5) ' expect: 3 2.5
Log Int(2.7) & " " & Int(-2.7) & " " & Fix(-2.7) ' expect: 2 -3 -2
Log Sgn(-5) & Sgn(0) & Sgn(3.2) ' expect: -101
Log Sqr(16) & " " & Sqr(2) ' expect: 4 1.4142135623730951
Log Round(2.5) & " " & Round(3.5) & " " & Round(2.567, 2) ' expect: 2 4 2.57
Log TypeName(Timer) ' expect: Double
Log Len(Now) & " " & Len(Date) & " " & Len(Time) ' expect: 19 10 8
x = Sqr(-1) ' expect error: Run-time error 5: Invalid procedure call or argument
