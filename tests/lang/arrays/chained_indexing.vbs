' An index applies to whatever answers an array: a call's answer, an element that is itself an
' array, and on the left of an assignment the inner array changes in place.
Log Split("a,b,c", ",")(1) ' expect: b
Function Letters()
  Letters = Array("p", "q")
End Function
Log Letters()(1) ' expect: q

Dim grid(1)
grid(0) = Array(1, 2, 3)
grid(1) = Array("x", "y")
Log grid(0)(2) ' expect: 3
Log grid(1)(0) & grid(1)(1) ' expect: xy

copy = grid(0)
grid(0)(1) = 20
Log grid(0)(1) ' expect: 20
Log copy(1) ' expect: 2

nested = Array(Array(Array("deep")))
Log nested(0)(0)(0) ' expect: deep
nested(0)(0)(0) = "changed"
Log nested(0)(0)(0) ' expect: changed

' The indices are read left to right before any array is reached.
Dim calls
Function NextIndex()
  calls = calls & "+"
  NextIndex = 0
End Function
grid(NextIndex())(NextIndex()) = "first"
Log grid(0)(0) & " " & calls ' expect: first ++

' An index on a call's answer changes a copy that nobody keeps.
Letters()(0) = "z"
Log Letters()(0) ' expect: p

On Error Resume Next
Log grid(0)(9)
Log Err.Number ' expect: 9
Err.Clear
Log Letters()(0)(0)
Log Err.Number ' expect: 13
Err.Clear
Log grid(0)(1, 2)
Log Err.Number ' expect: 9
