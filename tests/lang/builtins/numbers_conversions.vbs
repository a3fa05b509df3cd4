' CByte rounds half to even into 0..255; CSng rounds a double to single precision.
Log CByte(255) & " " & CByte(0.5) & " " & CByte(1.5) & " " & CByte(254.5) & " " & CByte("12") ' expect: 255 0 2 254 12
Log CByte(-0.4) & " " & CByte(False) & " " & VarType(CByte(7)) ' expect: 0 0 3
Log CSng(0.5) & " " & CSng(16777217) & " " & CSng(0.1) ' expect: 0.5 16777216 0.10000000149011612
Log (CSng(0.1) = 0.1) & " " & (CSng(0.1) = CSng(CSng(0.1))) & " " & VarType(CSng(1)) ' expect: False True 5
Log CSng(-3.4028235E+38) & " " & CSng("1E-50") ' expect: -3.4028234663852886E+38 0
On Error Resume Next
x = CByte(255.5)
Log Err.Number & " " & Err.Description ' expect: 6 Overflow
Err.Clear
x = CByte(-1)
Log Err.Number ' expect: 6
Err.Clear
x = CByte(True)
Log Err.Number ' expect: 6
Err.Clear
x = CByte(Null)
Log Err.Number ' expect: 94
Err.Clear
x = CByte("x")
Log Err.Number ' expect: 13
Err.Clear
x = CSng(1E+39)
Log Err.Number ' expect: 6
Err.Clear
x = CSng(-3.402824E+38)
Log Err.Number ' expect: 6
Err.Clear
x = CSng(Null)
Log Err.Number ' expect: 94
