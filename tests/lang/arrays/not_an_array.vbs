s = "text"
x = s(0) ' expect error: Run-time error 13: Type mismatch
