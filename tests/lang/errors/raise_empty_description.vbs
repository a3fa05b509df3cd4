' An empty description is no description: the number's own is used.
On Error Resume Next
Err.Raise 1000, "here", ""
Log Err.Number & ": " & Err.Description ' expect: 1000: Unknown runtime error
On Error GoTo 0
Err.Raise 11, "here", "" ' expect error: Run-time error 11: Division by zero
