' Benchmark program; its Python twin beside it does the same work and prints the same line.
Function Build(pieces)
    Dim s, i
    s = ""
    For i = 1 To pieces
        s = s & "0123456789"
    Next
    Build = s
End Function
Log Len(Build(100000))
