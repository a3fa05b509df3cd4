Const Limit = 10
Log "never runs: the error is found before running"
Limit = 11 ' expect error: Syntax error at column 1: Illegal assignment to constant 'Limit'
