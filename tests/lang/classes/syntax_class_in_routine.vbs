Sub Outer
  Class Inner ' expect error: Syntax error at column 3: Expected statement
  End Class
End Sub
