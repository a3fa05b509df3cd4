' Benchmark program; its Python twin beside it does the same work and prints the same line.
Function Count(n)
    Dim i, total
    total = 0
    For i = 1 To n
        total = (total + i * 3) Mod 1000003
    Next
    Count = total
End Function
Log Count(10000000)
