' GetRef makes a value of a routine, called later with its arguments.
Function Add(a, b)
  Add = a + b
End Function
Sub Greet(ByRef name)
  Log "hello " & name
  name = "greeted"
End Sub

Dim f, g, who
Set f = GetRef("Add")
Log f(2, 3) & " " & TypeName(f) ' expect: 5 Object
Set g = GetRef("greet")
who = "you"
g who ' expect: hello you
Log who ' expect: greeted
Call g("again") ' expect: hello again

Function Apply(fn, value)
  Apply = fn(value, value)
End Function
Log Apply(GetRef("Add"), 7) ' expect: 14

On Error Resume Next
Set f = GetRef("Missing")
Log Err.Number ' expect: 5
Err.Clear
Set f = GetRef("Add")
Log f(1)
Log Err.Number ' expect: 450
