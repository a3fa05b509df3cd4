' A million instances made, given their variables, asked a method, and let go.
Class Point
  Public X, Y
  Public Function Length2()
    Length2 = X * X + Y * Y
  End Function
End Class
Dim i, p, total
total = 0
For i = 1 To 1000000
  Set p = New Point
  p.X = i Mod 100
  p.Y = 3
  total = total + p.Length2()
Next
Log total
