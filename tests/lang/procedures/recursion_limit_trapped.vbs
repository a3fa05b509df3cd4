Function Deep(n)
  Deep = Deep(n + 1)
End Function
On Error Resume Next
x = Deep(1)
Log Err.Number ' expect: 28
On Error GoTo 0
Log "still running" ' expect: still running
