On Error Resume Next
On Error GoTo 0
x = 1 / 0 ' expect error: Run-time error 11: Division by zero
