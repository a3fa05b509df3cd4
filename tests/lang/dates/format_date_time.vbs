' FormatDateTime writes fixed English forms, consistent with a Date's own ISO 8601 text.
d = #2024-01-31 13:45:06#
Log FormatDateTime(d) & " / " & FormatDateTime(d, vbGeneralDate) & " / " & FormatDateTime(d, Empty) ' expect: 2024-01-31 13:45:06 / 2024-01-31 13:45:06 / 2024-01-31 13:45:06
Log FormatDateTime(d, vbLongDate) & " / " & FormatDateTime(d, vbShortDate) & " / " & FormatDateTime(d, vbLongTime) & " / " & FormatDateTime(d, vbShortTime) ' expect: Wednesday, January 31, 2024 / 2024-01-31 / 13:45:06 / 13:45
' A date alone, a time alone: the general form leaves out what is not there; the others do not.
Log FormatDateTime(#2024-01-31#) & " / " & FormatDateTime(#08:05#) & " / " & FormatDateTime(#08:05#, vbLongDate) ' expect: 2024-01-31 / 08:05:00 / Saturday, December 30, 1899
Log FormatDateTime(#2024-01-31#, vbLongTime) & " / " & FormatDateTime(#2024-01-31#, vbShortTime) & " / " & FormatDateTime(#2024-07-04 09:00#, 1) ' expect: 00:00:00 / 00:00 / Thursday, July 4, 2024
Log FormatDateTime("2024-02-29 08:30", vbShortTime) & " / " & FormatDateTime(45322, vbLongDate) ' expect: 08:30 / Wednesday, January 31, 2024
Log FormatDateTime(#9999-12-31 23:59:59#, vbLongDate) & " / " & FormatDateTime(#100-01-01#, vbLongDate) & " / " & FormatDateTime(#100-01-01#, vbShortDate) ' expect: Friday, December 31, 9999 / Friday, January 1, 0100 / 0100-01-01
Log IsNull(FormatDateTime(Null)) & " " & TypeName(FormatDateTime(d)) ' expect: True String
On Error Resume Next
x = FormatDateTime(d, 5)
Log "form 5 " & Err.Number ' expect: form 5 5
Err.Clear
x = FormatDateTime(d, -1)
Log "form -1 " & Err.Number ' expect: form -1 5
Err.Clear
x = FormatDateTime(d, "long")
Log "text form " & Err.Number ' expect: text form 13
Err.Clear
x = FormatDateTime(d, Null)
Log "null form " & Err.Number ' expect: null form 94
Err.Clear
x = FormatDateTime("soon")
Log "no date " & Err.Number ' expect: no date 13
Err.Clear
x = FormatDateTime(Array(d))
Log "array " & Err.Number ' expect: array 13
