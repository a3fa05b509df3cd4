Log Array(1, 2) ' expect error: Run-time error 13: Type mismatch
