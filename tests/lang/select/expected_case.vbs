Select Case 1
  Log 1 ' expect error: Syntax error at column 3: Expected 'Case'
End Select
