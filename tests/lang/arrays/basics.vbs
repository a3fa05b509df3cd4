Dim a(3)
Log UBound(a) & " " & LBound(a) ' expect: 3 0
a(0) = "x"
a(3) = 42
Log a(0) & a(3) & "[" & a(1) & "]" ' expect: x42[]
b = a
b(0) = "changed"
Log a(0) & " " & b(0) ' expect: x changed
ReDim a(1)
Log UBound(a) & "[" & a(0) & "]" ' expect: 1[]
a(0) = "keep"
ReDim Preserve a(5)
Log UBound(a) & a(0) ' expect: 5keep
ReDim Preserve a(0)
Log UBound(a) & a(0) ' expect: 0keep
Dim d()
Log UBound(d) ' expect: -1
c = Array(1, "two", 3.5)
Log Join(c, "|") ' expect: 1|two|3.5
Log UBound(Array()) ' expect: -1
Sub Fill(arr)
  arr(0) = "filled"
End Sub
Fill a
Log a(0) ' expect: filled
Function MakeList()
  MakeList = Array("p", "q")
End Function
m = MakeList()
Log m(1) ' expect: q
Sub Local()
  Dim inner(2)
  inner(2) = "local array"
  Log inner(2) ' expect: local array
End Sub
Local
