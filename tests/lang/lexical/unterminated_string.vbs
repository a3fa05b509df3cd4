Log "fine"
Log "oops ' expect error: Syntax error at column 5: Unterminated string: expected a closing quote
