Sub Outer()
  Sub Inner() ' expect error: Syntax error at column 3: Expected statement
  End Sub
End Sub
