Log "before" ' expect: before
With 5 ' expect error: Run-time error 424: Object required
  Log "never"
End With
