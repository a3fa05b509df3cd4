For vbSunday = 1 To 3 ' expect error: Syntax error at column 5: Illegal assignment to constant 'vbSunday'
Next
