' A run-time error deep in calls carries the calls that were active, innermost first.
' expect calls: Divide 6, Average 12, Average 10, Average 10, Report 16, Main 19
Function Divide(a, b)
  ' The error is on this routine's line; each caller is at the line of its call.
  Log "dividing " & a & " by " & b ' expect: dividing 1 by 0
  Divide = a / b ' expect error: Run-time error 11: Division by zero
End Function
Function Average(total, count, depth)
  If depth > 0 Then
    Average = Average(total, count, depth - 1)
  Else
    Average = Divide(total, count)
  End If
End Function
Sub Report
  Log Average(1, 0, 2)
End Sub
Sub Main
  Report
End Sub
