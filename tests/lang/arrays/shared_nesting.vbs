' Arrays that hold the same array twice, nested far deeper than freeing them by recursion allows.
a = Empty
For i = 1 To 200000
  a = Array(a, a)
Next
b = a(1)
Log UBound(a) & " " & UBound(b(0)) ' expect: 1 1
b = a(0)
a = Empty
Log UBound(b) ' expect: 1
b = Empty
c = Empty
For i = 1 To 200000
  c = Array(c, c, c)
Next
Log "freed" ' expect: freed
