' exit_code.vbs: how a script sets its exit code.
' The start-up routine is a Function here, and its result is the exit code. Start it in
' "One Cycle", then Get Log (its last entry is "End (exit code 2)") and Get on ExitCode.
Function Main
    Dim readings, reading, problems
    readings = Array(12, -3, 40, -7)
    problems = 0
    For Each reading In readings
        If reading < 0 Then
            Log "Below zero: " & reading
            problems = problems + 1
        End If
    Next
    Log problems & " of " & (UBound(readings) + 1) & " readings below zero"
    Main = problems ' the exit code: 0 would say all is well
End Function
