' Eval answers the value of an expression given as text, at the caller's scope.
Dim n
n = 4
Log Eval("n * 2 + 1") ' expect: 9
Log Eval("n = 4") & " " & TypeName(Eval("n = 4")) ' expect: True Boolean
Log Eval(3 & "+" & 4) ' expect: 7

Function Scaled(factor)
  Dim local
  local = 10
  Scaled = Eval("local * factor + n")
End Function
Log Scaled(3) ' expect: 34

Class Box
  Private m_size
  Public Sub Grow(by)
    m_size = m_size + by
  End Sub
  Public Function Report()
    Report = Eval("m_size & "" in "" & TypeName(Me)")
  End Function
End Class
Dim b
Set b = New Box
b.Grow 5
Log b.Report() ' expect: 5 in Box

' A syntax error in the text is a run-time error of the calling line, which On Error can catch.
On Error Resume Next
x = Eval("1 +")
Log Err.Number & ": " & Err.Description ' expect: 1002: Syntax error in the text at line 1, column 4: Expected expression
Err.Clear
x = Eval("1 / 0")
Log Err.Number ' expect: 11
On Error GoTo 0
Log Eval(Null) ' expect error: Run-time error 94: Invalid use of Null
