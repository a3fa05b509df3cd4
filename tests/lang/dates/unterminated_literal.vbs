x = #2024-02-01 ' expect error: Syntax error at column 5: Unterminated date literal
