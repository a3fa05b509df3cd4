Sub Main
    VBTEXTCOMPARE = 0 ' expect error: Syntax error at column 5: Illegal assignment to constant 'VBTEXTCOMPARE'
End Sub
