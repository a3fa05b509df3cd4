Dim Err(3) ' expect error: Syntax error at column 5: Name redefined: 'Err'
