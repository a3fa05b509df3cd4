' Inside With, .Member reaches the object the With statement named, evaluated once.
On Error Resume Next
With Err
  .Raise 700, "Mine", "my text"
  Log .Number ' expect: 700
  Log .Source & " / " & .Description ' expect: Mine / my text
  .Clear
  Log .Number ' expect: 0
End With

Dim picks
Function Picked()
  picks = picks + 1
  Set Picked = Err
End Function
With Picked()
  .Number = 5
  .Number = .Number + 1
  Log .Number & " after " & picks & " pick" ' expect: 6 after 1 pick
End With
Err.Clear

' Leaving a With early, by Exit or by an error, leaves its object behind.
Sub Early
  With Err
    Exit Sub
  End With
End Sub
Early
With Err
  .Number = 9
End With
Log Err.Number ' expect: 9
Err.Clear
