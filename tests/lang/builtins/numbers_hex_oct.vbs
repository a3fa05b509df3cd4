' Hex and Oct write a number's 32-bit pattern; halves round to even first.
Dim e
Log Hex(255) & " " & Hex(0) & " " & Hex(e) & " " & Hex(2147483647) ' expect: FF 0 0 7FFFFFFF
Log Hex(-1) & " " & Hex(-2147483648) & " " & Hex(-256) ' expect: FFFFFFFF 80000000 FFFFFF00
Log Hex(255.5) & " " & Hex(254.5) & " " & Hex("16") & " " & Hex(" &H1f ") ' expect: 100 FE 10 1F
Log Oct(8) & " " & Oct(511) & " " & Oct(-1) & " " & Oct(-2147483648) ' expect: 10 777 37777777777 20000000000
Log IsNull(Hex(Null)) & " " & IsNull(Oct(Null)) & " " & TypeName(Hex(10)) ' expect: True True String
On Error Resume Next
x = Hex(2147483648)
Log Err.Number & " " & Err.Description ' expect: 6 Overflow
Err.Clear
x = Oct(-2147483649)
Log Err.Number ' expect: 6
Err.Clear
x = Hex("ten")
Log Err.Number & " " & Err.Description ' expect: 13 Type mismatch
Err.Clear
x = Oct(Array(1))
Log Err.Number ' expect: 13
Err.Clear
x = Hex(Nothing)
Log Err.Number ' expect: 424
Err.Clear
x = Hex()
Log Err.Number ' expect: 450
