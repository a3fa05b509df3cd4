Function Add(a, b)
  Add = a + b
End Function
Log Add(2, 3) ' expect: 5
Function NoResult()
End Function
Log "[" & NoResult() & "]" ' expect: []
Function Early(n)
  Early = "small"
  If n < 10 Then Exit Function
  Early = "large"
End Function
Log Early(5) & " " & Early(50) ' expect: small large
Sub Greet(name)
  If name = "" Then Exit Sub
  Log "Hello, " & name ' expect: Hello, Ann
End Sub
Greet ""
Greet "Ann"
Function Fact(n)
  If n <= 1 Then
    Fact = 1
  Else
    Fact = n * Fact(n - 1)
  End If
End Function
Log Fact(10) ' expect: 3628800
Function Answer
  Answer = 42
End Function
Log Answer + 1 ' expect: 43
Log Add(1, 2) * 3 ' expect: 9
Function Fib(n)
  If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)
End Function
Log Fib(15) ' expect: 610
