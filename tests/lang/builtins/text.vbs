Log Len("hello") ' expect: 5
Log Left("hello", 2) & "|" & Right("hello", 3) ' expect: he|llo
Log Mid("hello", 2, 3) & "|" & Mid("hello", 4) ' expect: ell|lo
Log "[" & Mid("hi", 5) & "]" ' expect: []
Log InStr("hello", "l") & InStr(4, "hello", "l") & InStr("hello", "z") ' expect: 340
Log InStr(1, "Hello", "h", 1) & InStr(1, "Hello", "h", 0) ' expect: 10
Log Replace("a-b-c", "-", "+") ' expect: a+b+c
Log Replace("a-b-c", "-", "", 1, 1) ' expect: ab-c
Log "[" & Trim("  x  ") & "][" & LTrim("  x ") & "][" & RTrim(" x  ") & "]" ' expect: [x][x ][ x]
Log UCase("MiXed") & LCase("MiXed") ' expect: MIXEDmixed
Log Chr(65) & Asc("a") ' expect: A97
Log "[" & Space(3) & "]" & String(4, "z") & String(2, 66) ' expect: [   ]zzzzBB
Log StrReverse("abc") ' expect: cba
parts = Split("a,b,,c", ",")
Log UBound(parts) & ":" & parts(3) & ":" & parts(2) & ":" ' expect: 3:c::
Log UBound(Split("")) ' expect: -1
Log Join(Split("x y z"), "-") ' expect: x-y-z
Log Join(Split("a,b,c", ",", 2), "|") ' expect: a|b,c
Log Len(12345) ' expect: 5
