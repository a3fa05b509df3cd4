x = 1
y = 2 $ 3 ' expect error: Syntax error at column 7: Invalid character '$'
