' The numeric constants, each a Long.
Log vbBinaryCompare & " " & vbTextCompare & " " & vbObjectError ' expect: 0 1 -2147221504
Log vbTrue & " " & vbFalse & " " & vbUseDefault & " " & TypeName(vbTrue) ' expect: -1 0 -2 Long
Log vbEmpty & vbNull & vbInteger & vbLong & vbSingle & vbDouble & vbCurrency & vbDate ' expect: 01234567
Log vbString & " " & vbObject & " " & vbError & " " & vbBoolean & " " & vbVariant ' expect: 8 9 10 11 12
Log vbDataObject & " " & vbDecimal & " " & vbByte & " " & vbArray ' expect: 13 14 17 8192
Log vbUseSystemDayOfWeek & vbSunday & vbMonday & vbTuesday & vbWednesday & vbThursday & vbFriday & vbSaturday ' expect: 01234567
Log vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek ' expect: 123
Log vbGeneralDate & vbLongDate & vbShortDate & vbLongTime & vbShortTime ' expect: 01234
' The compare mode reaches the functions that take one.
Log InStr(1, "abcXdef", "x", vbTextCompare) & " " & InStr(1, "abcXdef", "x", vbBinaryCompare) ' expect: 4 0
Log Err.Number = 0 And vbObjectError + 1 < 0 ' expect: True
