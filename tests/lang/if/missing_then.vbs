x = 1
If x = 1 ' expect error: Syntax error at column 9: Expected 'Then'
  Log x
End If
