' Properties that take arguments, Property Set, array variables, ByRef arguments and With.
Class Shelf
  Private items(2)
  Public grid(1, 2)
  Private m_owner
  Public Spare()

  Public Property Get Item(i)
    Item = items(i)
  End Property

  Public Property Let Item(i, value)
    items(i) = value
  End Property

  Public Property Get Owner
    Set Owner = m_owner
  End Property

  Public Property Set Owner(value)
    Set m_owner = value
  End Property

  Public Sub Grow(n)
    ReDim Preserve Spare(n)
    Spare(n) = "last"
  End Sub

  Public Sub Bump(ByRef counter, ByVal copy)
    counter = counter + 1
    copy = copy + 1
  End Sub

  Public Function Size()
    Size = UBound(items) + 1
  End Function
End Class

Dim s
Set s = New Shelf
s.Item(0) = "a"
s.Item(2) = "c"
Log s.Item(0) & s.Item(1) & s.Item(2) & " " & s.Size ' expect: ac 3
s.grid(1, 2) = 12
Log s.grid(1, 2) & " " & UBound(s.grid, 2) ' expect: 12 2
s.Grow 3
Log UBound(s.Spare) & " " & s.Spare(3) ' expect: 3 last

Set s.Owner = Err
Log TypeName(s.Owner) ' expect: ErrObject

Dim n, m
n = 1 : m = 1
s.Bump n, m
Log n & " " & m ' expect: 2 1

With s
  .Item(1) = "b"
  Log .Item(0) & .Item(1) & .Item(2) ' expect: abc
  With .Owner
    Log TypeName(.Number) ' expect: Long
  End With
End With

' A chain of members reaches instances inside instances.
Class Box
  Public Inner
End Class
Dim outer
Set outer = New Box
Set outer.Inner = New Box
Set outer.Inner.Inner = s
Log outer.Inner.Inner.Item(2) ' expect: c
outer.Inner.Inner.Item(2) = "z"
Log s.Item(2) ' expect: z
