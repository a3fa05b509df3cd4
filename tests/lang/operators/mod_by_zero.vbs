n = 0
Log 7 Mod n ' expect error: Run-time error 11: Division by zero
