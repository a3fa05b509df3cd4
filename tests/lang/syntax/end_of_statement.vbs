x = 1 2 ' expect error: Syntax error at column 7: Expected end of statement
