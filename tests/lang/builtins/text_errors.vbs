Log Left("abc", 5) ' expect: abc
x = Left("abc", -1) ' expect error: Run-time error 5: Invalid procedure call or argument
