Do While True
  x = 1
Wend ' expect error: Syntax error at column 1: Expected 'Loop'
