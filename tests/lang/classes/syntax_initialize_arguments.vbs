Class Setup
  Sub Class_Initialize(x) ' expect error: Syntax error at column 1: 'Class_Initialize' must be a Sub without arguments
  End Sub
End Class
