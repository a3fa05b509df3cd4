Sub Foo()
End Sub
Sub foo() ' expect error: Syntax error at column 1: Name redefined: 'foo'
End Sub
