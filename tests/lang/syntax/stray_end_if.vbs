End If ' expect error: Syntax error at column 1: Expected statement
