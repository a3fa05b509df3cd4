' StrComp answers -1, 0 or 1; binary compare orders by character code, text compare ignores case.
Log StrComp("a", "b") & " " & StrComp("b", "a") & " " & StrComp("a", "a") & " " & StrComp("a", "A") ' expect: -1 1 0 1
Log StrComp("a", "A", 1) & " " & StrComp("a", "B", vbTextCompare) & " " & StrComp("a", "B", vbBinaryCompare) ' expect: 0 -1 1
Log StrComp("abc", "ab") & " " & StrComp("", "a") & " " & StrComp(10, 9) & " " & StrComp(Empty, "") ' expect: 1 -1 -1 0
Log StrComp("ÄRGER", "ärger", 1) & " " & TypeName(StrComp("x", "y")) ' expect: 0 Long
Log IsNull(StrComp(Null, "a")) & " " & IsNull(StrComp("a", Null, 1)) ' expect: True True
On Error Resume Next
x = StrComp("a", "b", 3)
Log Err.Number ' expect: 5
Err.Clear
x = StrComp(Array(), "a")
Log Err.Number ' expect: 13
Err.Clear
x = StrComp("a")
Log Err.Number ' expect: 450
