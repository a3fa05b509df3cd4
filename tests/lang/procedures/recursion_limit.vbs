Function Deep(n)
  Deep = Deep(n + 1) ' expect error: Run-time error 28: Out of stack space
End Function
Log "start" ' expect: start
x = Deep(1)
