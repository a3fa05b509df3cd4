x = 1
.Number = 2 ' expect error: Syntax error at column 1: Invalid or unqualified reference
