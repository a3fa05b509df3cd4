Select Case 1
  Case Else
    Log "x"
  Case 2 ' expect error: Syntax error at column 3: Expected 'End Select'
End Select
