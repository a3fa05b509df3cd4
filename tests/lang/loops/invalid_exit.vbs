Sub Foo()
  Exit Do ' expect error: Syntax error at column 8: Invalid 'Exit' statement
End Sub
