Dim a
Dim a ' expect error: Syntax error at column 5: Name redefined: 'a'
