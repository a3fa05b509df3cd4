If True Then
  Log "in"
' expect error: Syntax error at column 1: Expected 'End If'
