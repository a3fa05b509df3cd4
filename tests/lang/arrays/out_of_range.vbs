Dim a(2)
a(2) = 1
Log a(2) ' expect: 1
On Error Resume Next
x = a(-1)
Log Err.Number ' expect: 9
On Error GoTo 0
a(3) = 1 ' expect error: Run-time error 9: Subscript out of range
