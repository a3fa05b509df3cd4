For i = 1 To 2
  Log i
Loop ' expect error: Syntax error at column 1: Expected 'Next'
