' Benchmark program; its Python twin beside it does the same work and prints the same line.
Function Fib(n)
    If n < 2 Then
        Fib = n
    Else
        Fib = Fib(n - 1) + Fib(n - 2)
    End If
End Function
Log Fib(27)
