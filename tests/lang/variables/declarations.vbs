Dim a, b
a = 1
Log a + b ' expect: 1
Const Greeting = "hi", Answer = 42
Log Greeting & Answer ' expect: hi42
implicitVar = "made"
Log implicitVar ' expect: made
Sub ShowGlobal()
  Log a ' expect: 1
End Sub
ShowGlobal
Sub SetLocal()
  onlyHere = 5
End Sub
Sub ReadLocal()
  Log "[" & onlyHere & "]" ' expect: []
End Sub
SetLocal
ReadLocal
Sub Shadow()
  Dim a
  a = "local a"
  Log a ' expect: local a
End Sub
Shadow
Log a ' expect: 1
Set o = Nothing
Log TypeName(o) ' expect: Nothing
Sub UsesLaterDim()
  later = 3
  Log later ' expect: 3
  Dim later
End Sub
UsesLaterDim
