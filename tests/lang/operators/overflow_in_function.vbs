Function Square(n)
  Square = CLng(n * n) ' expect error: Run-time error 6: Overflow
End Function
Log Square(46340) ' expect: 2147395600
Log Square(46341)
