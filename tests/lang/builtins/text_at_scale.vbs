' Case mapping and search stay near linear on texts made to defeat them.
s = String(200000, "a")
Log InStr(s, "b" & String(100000, "a")) ' expect: 0
Log InStr(1, s, "B" & String(100000, "A"), 1) ' expect: 0
Log InStr(1, s & "B" & s, "b" & String(100000, "A"), 1) ' expect: 200001
Log Len(UCase(String(1000000, Chr(223)))) ' expect: 2000000
Log Left(UCase("straße" & String(1000, Chr(223))), 9) ' expect: STRASSESS
Log Len(LCase(String(1000000, Chr(304)))) ' expect: 2000000
Log UBound(Split(s & "b" & s & "b" & s, "b" & String(1000, "a"))) ' expect: 2
Log Len(Replace(s & "b", String(1000, "a") & "b", "x")) ' expect: 199001
