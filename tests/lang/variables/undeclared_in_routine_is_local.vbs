' A name a routine uses without declaring it is that routine's own, unless the module declares or
' assigns it; a module statement that only reads the name does not make it shared.
Sub Touch
  fresh = 1
  Log "in Touch " & fresh ' expect: in Touch 1
End Sub
Touch
Log "[" & fresh & "]" ' expect: []

' Each call has its own: recursion does not share it.
Function Depth(n)
  level = n
  If n > 0 Then Depth(n - 1)
  Depth = level
End Function
Log Depth(3) ' expect: 3

' A module assignment, wherever it stands, makes the name the module's for every routine.
Sub Bump
  counter = counter + 1
End Sub
counter = 10
Bump
Bump
Log counter ' expect: 12

' So does a declaration.
Dim shared
Sub SetShared
  shared = "set in a routine"
End Sub
SetShared
Log shared ' expect: set in a routine

' A routine that only reads a name the module only reads sees Empty, as its own.
Log "module [" & unseen & "]" ' expect: module []
Sub Peek
  Log "peek [" & unseen & "]" ' expect: peek []
End Sub
Peek
