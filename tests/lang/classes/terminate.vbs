' Class_Terminate runs when the last reference goes, before the next statement.
Class Tracked
  Public Label
  Private Sub Class_Initialize
    Log "begin"
  End Sub
  Private Sub Class_Terminate
    Log "end " & Label
  End Sub
End Class

Dim a, b
Set a = New Tracked ' expect: begin
a.Label = "a"
Set b = a
Set a = Nothing
Log "still held" ' expect: still held
Set b = Nothing ' expect: end a
Log "after" ' expect: after

Sub Scoped
  Dim local
  Set local = New Tracked ' expect: begin
  local.Label = "local"
End Sub
Scoped ' expect: end local
Log "returned" ' expect: returned

' Replacing the reference ends the old instance.
Set a = New Tracked ' expect: begin
a.Label = "first"
Set a = New Tracked ' expect: begin
' expect: end first
a.Label = "second"

' An error in Class_Terminate is logged; the script goes on.
Class Faulty
  Private Sub Class_Terminate
    Log 1 / 0
  End Sub
End Class
Dim f
Set f = New Faulty
Set f = Nothing ' expect: Run-time error 11 at line 39: Division by zero
Log "went on" ' expect: went on

' Instances that hold each other outlive their variables; the end of the program ends them too.
Class Pair
  Public Other
  Public Label
  Private Sub Class_Terminate
    Log "end pair " & Label
  End Sub
End Class
Dim p, q
Set p = New Pair
p.Label = "p"
Set q = New Pair
q.Label = "q"
Set p.Other = q
Set q.Other = p
Set p = Nothing
Set q = Nothing
Log "cycle left" ' expect: cycle left
' At the end: the module's variables first, then the cycle, the newest instance first.
' expect: end second
' expect: end pair q
' expect: end pair p
