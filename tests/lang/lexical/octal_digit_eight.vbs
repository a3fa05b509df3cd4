x = &O78 ' expect error: Syntax error at column 8: Expected octal number
