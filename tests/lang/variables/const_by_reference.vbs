' A constant, or a bound object, handed to a ByRef parameter is handed over as a copy.
Const Limit = 10
Sub Change(v)
  v = 99
End Sub
Sub Grow(v)
  ReDim v(3)
End Sub
Change Limit
Grow Limit
Log Limit ' expect: 10
Sub Inside
  Const Inner = 5
  Change Inner
  Log Inner
End Sub
Inside ' expect: 5
x = 1
Change x
Log x ' expect: 99
Change Err
Log TypeName(Err) ' expect: ErrObject
