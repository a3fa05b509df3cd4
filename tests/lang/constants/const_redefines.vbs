Const vbString = 8 ' expect error: Syntax error at column 7: Name redefined: 'vbString'
