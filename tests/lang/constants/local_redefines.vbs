Sub Main
    Dim vbLf ' expect error: Syntax error at column 9: Name redefined: 'vbLf'
End Sub
