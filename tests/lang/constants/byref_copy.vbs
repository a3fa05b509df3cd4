' Passed to a ByRef parameter, a constant is passed as a copy, as a Const is.
Sub Change(ByRef v)
    v = 99
End Sub
Change vbTextCompare
Log vbTextCompare ' expect: 1
