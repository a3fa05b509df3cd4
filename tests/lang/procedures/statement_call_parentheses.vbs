Log (1 + 2) * 3 ' expect: 9
Log (4) ' expect: 4
Sub Show(a, b)
  Log a & "/" & b
End Sub
Show (1 + 1) * 2, "x" ' expect: 4/x
Show 1, 2 ' expect: 1/2
Show(5, 6) ' expect: 5/6
Call Show(7, 8) ' expect: 7/8
