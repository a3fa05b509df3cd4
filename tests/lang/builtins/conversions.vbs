Log CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5) ' expect: 2 4 -2
Log CLng("42") + 1 ' expect: 43
Log CDbl("1.5") * 2 ' expect: 3
Log CStr(12) & CStr(True) ' expect: 12True
Log CBool("False") & CBool(0) & CBool(-3) ' expect: FalseFalseTrue
Log TypeName(CDbl(1)) & " " & TypeName(CStr(1)) ' expect: Double String
x = CInt(3000000000) ' expect error: Run-time error 6: Overflow
