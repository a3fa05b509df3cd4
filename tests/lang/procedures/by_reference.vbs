Sub Increment(n)
  n = n + 1
End Sub
Sub IncrementCopy(ByVal n)
  n = n + 1
End Sub
Sub Times10(ByRef n)
  n = n * 10
End Sub
a = 1
Increment a
Log a ' expect: 2
IncrementCopy a
Log a ' expect: 2
Increment (a)
Log a ' expect: 2
Call Increment(a)
Log a ' expect: 3
Times10 a
Log a ' expect: 30
Increment a + 1
Log a ' expect: 30
Sub Outer(x)
  Increment x
End Sub
Outer a
Log a ' expect: 31
Function Twice(ByVal v)
  v = v * 2
  Twice = v
End Function
Log Twice(a) & " " & a ' expect: 62 31
Sub Local()
  Dim mine
  mine = 7
  Increment mine
  Log mine ' expect: 8
End Sub
Local
Sub Swap(p, q)
  Dim t
  t = p: p = q: q = t
End Sub
x = "left": y = "right"
Swap x, y
Log x & " " & y ' expect: right left
