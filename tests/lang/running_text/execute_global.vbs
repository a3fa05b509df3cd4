' ExecuteGlobal runs text at module level, where it may define routines and classes.
Sub Define
  ExecuteGlobal "Dim counter : counter = 10" & vbCrLf & _
                "Function Twice(v)" & vbCrLf & "  Twice = v * 2" & vbCrLf & "End Function" & vbCrLf & _
                "Class Added" & vbCrLf & "  Public Value" & vbCrLf & "End Class"
End Sub
Define
Log counter & " " & Eval("Twice(21)") ' expect: 10 42
Execute "Set a = New Added : a.Value = Twice(counter)"
Log a.Value & " " & TypeName(a) ' expect: 20 Added

On Error Resume Next
ExecuteGlobal "Sub Define" & vbCrLf & "End Sub"
Log Err.Number & ": " & Err.Description ' expect: 1002: Name redefined: 'Define'
Err.Clear
ExecuteGlobal "Sub Broken(" 
Log Err.Number ' expect: 1002
