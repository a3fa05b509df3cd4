x = 1 + ' expect error: Syntax error at column 8: Expected expression
