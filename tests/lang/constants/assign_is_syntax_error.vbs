Log "never"
vbCrLf = "x" ' expect error: Syntax error at column 1: Illegal assignment to constant 'vbCrLf'
