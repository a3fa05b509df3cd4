x = 5
If x > 3 Then
  Log "big" ' expect: big
End If
If x > 10 Then
  Log "huge"
ElseIf x > 4 Then
  Log "medium" ' expect: medium
ElseIf x > 3 Then
  Log "never: only the first true branch runs"
Else
  Log "small"
End If
If x < 0 Then
  Log "negative"
Else
  Log "not negative" ' expect: not negative
End If
If x > 100 Then
  Log "never"
End If
If x Then Log "non-zero is true" ' expect: non-zero is true
If x = 1 Then Log "one" Else Log "not one" : Log "still else" ' expect: not one
' expect: still else
If x = 5 Then Log "a" : Log "b" ' expect: a
' expect: b
If "True" Then Log "text true" ' expect: text true
If x > 1 Then If x > 2 Then Log "nested one-line" ' expect: nested one-line
If x = 5 Then
  If x > 4 Then
    Log "nested block" ' expect: nested block
  End If
End If
