Sub Tidy
    Dim Err ' a routine's own variable may take the name
    Err = 5
End Sub
Tidy
Err = 5 ' expect error: Syntax error at column 1: Illegal assignment: 'Err' is bound by the host
