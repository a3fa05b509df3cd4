' Execute runs statements given as text, at the caller's scope.
Dim total
Execute "total = 1 : total = total + 1"
Log total ' expect: 2
Execute "For i = 1 To 3" & vbCrLf & "total = total * 2" & vbCrLf & "Next"
Log total ' expect: 16

Sub Fill(ByRef target)
  Dim count
  count = 2
  Execute "count = count + 1 : target = count"
  Log count ' expect: 3
End Sub
Dim result
Fill result
Log result ' expect: 3

' A name the text makes by assigning it is a module variable.
Sub Make
  Execute "made = ""here"""
End Sub
Make
Log made ' expect: here

' Execute that runs itself again ends as deep recursion does.
Dim again
again = "Execute again"
On Error Resume Next
Execute again
Log Err.Number ' expect: 28
Err.Clear
Execute "Log 1 :" & vbCrLf & "If True Then"
Log Err.Number & ": " & Err.Description ' expect: 1002: Syntax error in the text at line 2, column 13: Expected 'End If'
On Error GoTo 0
' An error in the text's statements is the calling line's.
' expect: before
Execute "Log ""before"" : y = 1 / 0" ' expect error: Run-time error 11: Division by zero
