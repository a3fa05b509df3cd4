' Benchmark program; its Python twin beside it does the same work and prints the same line.
' A million InStrRev calls, each searching back from a different start.
Dim s, i, total
s = "the quick brown fox jumps over the lazy dog"
total = 0
For i = 1 To 1000000
    total = total + InStrRev(s, "o", (i Mod 40) + 3)
Next
Log total
