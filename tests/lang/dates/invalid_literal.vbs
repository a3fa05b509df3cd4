x = #2024-02-30# ' expect error: Syntax error at column 5: Invalid date
