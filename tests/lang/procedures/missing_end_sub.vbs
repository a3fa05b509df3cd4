Sub Foo()
  Log 1
' expect error: Syntax error at column 1: Expected 'End Sub'
