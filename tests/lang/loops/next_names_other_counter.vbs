For i = 1 To 2
  For j = 1 To 2
  Next i ' expect error: Syntax error at column 8: Expected 'Next j'
Next j
