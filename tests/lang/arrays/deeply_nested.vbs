' Arrays inside arrays, far deeper than freeing them one inside the other would allow.
a = Empty
For i = 1 To 300000
  a = Array(a)
Next
b = a(0)
Log TypeName(a) & " " & UBound(a) & " " & TypeName(b(0)) ' expect: Variant() 0 Variant()
a = Empty
b = Empty
Log "freed" ' expect: freed
