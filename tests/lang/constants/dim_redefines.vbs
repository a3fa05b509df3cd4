Dim x, vbTab ' expect error: Syntax error at column 8: Name redefined: 'vbTab'
