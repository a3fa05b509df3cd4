Function Five()
  Five = 5
End Function
Log Five() ' expect: 5
x = Five() & Array(1) ' expect error: Run-time error 13: Type mismatch
