' With Option Explicit the constants are known, in routines too.
Option Explicit
Log "a" & vbCrLf & "b" = "a" & Chr(13) & Chr(10) & "b" ' expect: True
Sub Main
    Dim t
    t = "x" & VbTab & "y"
    Log Len(t) & " " & vbString ' expect: 3 8
End Sub
