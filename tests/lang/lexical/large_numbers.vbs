Log 1E308 ' expect: 1E+308
Log 2147483648 ' expect: 2147483648
Log 4.9E-324 ' expect: 5E-324
