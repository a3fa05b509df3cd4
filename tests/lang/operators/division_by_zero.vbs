Log 1 / 4 ' expect: 0.25
Log 5 \ 0 ' expect error: Run-time error 11: Division by zero
