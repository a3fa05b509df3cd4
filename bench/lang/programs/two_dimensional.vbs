' Benchmark program; its Python twin beside it does the same work and prints the same line.
Function FillAndSum(n)
    Dim m(), i, j, total
    ReDim m(n - 1, n - 1)
    For i = 0 To n - 1
        For j = 0 To n - 1
            m(i, j) = i + j
        Next
    Next
    total = 0
    For i = 0 To n - 1
        For j = 0 To n - 1
            total = total + m(i, j)
        Next
    Next
    FillAndSum = total
End Function
Log FillAndSum(1000)
