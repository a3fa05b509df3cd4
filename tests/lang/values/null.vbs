Log IsNull(Null + 1) ' expect: True
Log IsNull(Null = Null) ' expect: True
If Null Then Log "never" Else Log "Null is not true" ' expect: Null is not true
Log IsNull(Len(Null)) ' expect: True
Log Null & "x" ' expect: x
x = CInt(Null) ' expect error: Run-time error 94: Invalid use of Null
