' Benchmark program; its Python twin beside it does the same work and prints the same line.
' A million DateAdd calls, each a different number of days from the same date and time.
Dim d, i, last
d = #2024-01-31 08:30#
For i = 1 To 1000000
    last = DateAdd("d", i Mod 3650, d)
Next
Log last
