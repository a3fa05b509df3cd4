Log "a" & 1 ' expect: a1
x = "abc" * 2 ' expect error: Run-time error 13: Type mismatch
