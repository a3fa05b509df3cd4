' errors.vbs: run-time errors, trapped and not.
' Start it, press Get Log, then Get on ExitCode and LineNumber: the last error stops the script.
Sub Main
    Dim x
    On Error Resume Next ' from here a failing statement is skipped and Err describes it
    x = 1 / 0
    Log "Trapped error " & Err.Number & ": " & Err.Description
    Err.Clear

    Err.Raise 5
    Log "Raised error " & Err.Number & ": " & Err.Description
    Err.Clear
    Log "Err is clear again: " & Err.Number

    On Error GoTo 0 ' errors stop the script again
    Log "Now an error nobody traps: the script stops at it."
    x = "many"
    x = CInt(x)
    Log "This line is never reached."
End Sub
