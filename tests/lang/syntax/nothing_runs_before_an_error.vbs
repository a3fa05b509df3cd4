Log "never logged"
x = (1 ' expect error: Syntax error at column 7: Expected ')'
