Sub Fails()
  Log "in Fails" ' expect: in Fails
  x = 1 / 0
  Log "not reached"
End Sub
On Error Resume Next
Fails
Log "the caller goes on: " & Err.Number ' expect: the caller goes on: 11
Sub Guarded()
  On Error Resume Next
  Err.Raise 5
  Log "guarded: " & Err.Number ' expect: guarded: 5
End Sub
On Error GoTo 0
Guarded
Log "after Guarded" ' expect: after Guarded
