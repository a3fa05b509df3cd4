' counter.vbs: a routine to run again and again.
' "Continuous" calls Main cycle after cycle until the script is stopped; "One Cycle" calls it
' once. "One Step Forward" runs one statement at a time: press Get on LineNumber to see where
' the script stands. Stop it with "Immediate Stop", after the current statement ("Step Stop")
' or after the current cycle ("Cycle Stop").
Option Explicit

Dim cycle ' keeps its value from one cycle to the next

Sub Main
    Dim i
    cycle = cycle + 1
    Log "Cycle " & cycle & " begins"
    For i = 1 To 3
        Log "  step " & i
        Sleep 200 ' a stop request ends the wait early
    Next
    Log "Cycle " & cycle & " ends"
End Sub
