' Benchmark program; its Python twin beside it does the same work and prints the same line.
' A million FormatNumber calls, on numbers whose two decimals need no rounding.
Dim i, total, last
total = 0
For i = 1 To 1000000
    last = FormatNumber(i * 1.25, 2)
    total = total + Len(last)
Next
Log total & " " & last
