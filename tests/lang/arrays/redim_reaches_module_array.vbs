' ReDim in a routine resizes the module's array that its name reaches; it makes a local array
' only where no variable of that name is visible.
Dim a()
ReDim a(1)
a(0) = "kept"
Sub Grow
  Log UBound(a) ' expect: 1
  ReDim Preserve a(4)
  a(4) = "new"
End Sub
Function OwnSize(n)
  ReDim b(n)
  b(n) = "local"
  OwnSize = UBound(b)
End Function
Grow
Log UBound(a) & " " & a(0) & " " & a(4) ' expect: 4 kept new
Log OwnSize(2) & " " & OwnSize(5) & " " & UBound(a) ' expect: 2 5 4
