Log "nothing runs: a number no value can hold is found before running"
x = 1E308 + 2E999 ' expect error: Syntax error at column 13: Number too large
