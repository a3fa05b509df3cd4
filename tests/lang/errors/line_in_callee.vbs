Function Divide(a, b)
  Divide = a / b ' expect error: Run-time error 11: Division by zero
End Function
Log Divide(1, 2) ' expect: 0.5
Log Divide(1, 0)
