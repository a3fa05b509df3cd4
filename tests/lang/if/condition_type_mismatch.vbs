If "maybe" Then Log "never" ' expect error: Run-time error 13: Type mismatch
