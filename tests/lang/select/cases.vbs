Function Describe(v)
  Select Case v
    Case 1
      Describe = "one"
    Case 2, 3, 4
      Describe = "few"
    Case "x", "y"
      Describe = "letter"
    Case Else
      Describe = "other"
  End Select
End Function
Log Describe(1) ' expect: one
Log Describe(3) ' expect: few
Log Describe("y") ' expect: letter
Log Describe(99) ' expect: other
Log Describe(2.0) ' expect: few
Select Case 5
  Case 1
    Log "no"
End Select
Log "no case matched and no Case Else" ' expect: no case matched and no Case Else
n = 0
Select Case True
  Case n > 0: Log "positive"
  Case n = 0: Log "zero" ' expect: zero
  Case n = 0: Log "only the first match runs"
End Select
