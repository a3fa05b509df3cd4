On Error Resume Next
x = 1 / 0
Log Err.Number & ": " & Err.Description ' expect: 11: Division by zero
Err.Clear
Log Err.Number ' expect: 0
y = CInt("abc")
Log Err.Number ' expect: 13
Log "went on" ' expect: went on
Err.Raise 1000, "me", "custom failure"
Log Err.Number & " " & Err.Description ' expect: 1000 custom failure
Log Err.Source ' expect: me
Err.Raise 6
Log Err.Description ' expect: Overflow
If True Then
  z = 1 / 0
  Log "the next statement in the same block" ' expect: the next statement in the same block
End If
On Error GoTo 0
Log Err.Number ' expect: 0
If Err Then Log "never" Else Log "Err stands for its number" ' expect: Err stands for its number
