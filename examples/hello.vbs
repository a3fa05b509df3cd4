' hello.vbs: the smallest script worth running.
' The engine runs the statements outside any Sub first, then the start-up routine, Main.
' Start it with "One Cycle", then press Get Log.
Option Explicit

Dim greeting
greeting = "Hello"

Sub Main
    Log greeting & ", world!"
    Log "1 + 2 = " & (1 + 2)
    Log Farewell()
End Sub

Function Farewell()
    Farewell = "The time has come."
End Function
