Option Explicit
' The texts follow the script's Option Explicit.
Dim known
known = 1
Execute "known = known + 1"
Log Eval("known") ' expect: 2
Execute "unknown = 1" ' expect error: Run-time error 500: Variable is undefined
