Class Door
  Public Sub Open
    Exit Property ' expect error: Syntax error at column 10: Invalid 'Exit' statement
  End Sub
End Class
