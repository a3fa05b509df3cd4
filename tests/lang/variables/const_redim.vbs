Const Size = 3
Log "never runs: the error is found before running"
ReDim Size(5) ' expect error: Syntax error at column 7: Illegal assignment to constant 'Size'
