Sub Show(vbCr) ' expect error: Syntax error at column 10: Name redefined: 'vbCr'
End Sub
