x = Len("a", "b") ' expect error: Run-time error 450: Wrong number of arguments or invalid property assignment
