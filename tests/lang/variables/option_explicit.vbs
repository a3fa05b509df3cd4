Option Explicit
Dim known
known = 1
Log known ' expect: 1
unknown = 2 ' expect error: Run-time error 500: Variable is undefined
