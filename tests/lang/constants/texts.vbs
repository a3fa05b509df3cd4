' The text constants are the characters they name, whatever the case of their names.
Log Len(vbCrLf) & " " & Asc(vbCr) & " " & Asc(vbLf) & " " & Asc(Right(vbCrLf, 1)) ' expect: 2 13 10 10
Log Asc(vbTab) & " " & Asc(vbBack) & " " & Asc(vbFormFeed) & " " & Asc(vbVerticalTab) ' expect: 9 8 12 11
Log Len(vbNullChar) & " " & Asc(vbNullChar) & " " & Len(vbNullString) ' expect: 1 0 0
Log (vbNewLine = vbCrLf) & " " & (VBCRLF = vbCr & vbLf) & " " & (vbcrlf = Chr(13) & Chr(10)) ' expect: True True True
Log TypeName(vbNullString) & " " & IsEmpty(vbNullString) ' expect: String False
Log Replace("a" & vbCrLf & "b", vbCrLf, "|") ' expect: a|b
Log Join(Split("x" & vbTab & "y", vbTab), "+") ' expect: x+y
