Log "module statements first" ' expect: module statements first
Sub Main()
  Log "then Main" ' expect: then Main
End Sub
