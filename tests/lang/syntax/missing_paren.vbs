Log (1 + 2 ' expect error: Syntax error at column 11: Expected ')'
