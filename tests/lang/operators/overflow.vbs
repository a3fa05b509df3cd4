x = 2147483647
Log x - 1 ' expect: 2147483646
Log x * 1.0 + 1 ' expect: 2147483648
x = x + 1 ' expect error: Run-time error 6: Overflow
