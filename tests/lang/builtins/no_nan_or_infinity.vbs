' The C library's spellings of not-a-number and infinity are texts here, not numbers.
Log IsNumeric("nan") & IsNumeric("NaN") & IsNumeric("inf") & IsNumeric("-inf") ' expect: FalseFalseFalseFalse
Log IsNumeric("infinity") & IsNumeric("0x10") & IsNumeric("1e400") ' expect: FalseFalseFalse
Log IsNumeric(" 1.5e3 ") & IsNumeric("&HFF") ' expect: TrueTrue
Log ("nan" = 1) & " " & ("inf" > 1E308) ' expect: False True
Log Round(1E308, 1) & " " & Round(-1.7976931348623157E308, 15) ' expect: 1E+308 -1.7976931348623157E+308
On Error Resume Next
For i = 1E308 To 1.7E308 Step 1E308
  Log i ' expect: 1E+308
Next
Log Err.Number ' expect: 6
Err.Clear
x = CDbl("inf")
Log Err.Number ' expect: 13
On Error GoTo 0
For i = 1 To CDbl("nan") ' expect error: Run-time error 13: Type mismatch
Next
