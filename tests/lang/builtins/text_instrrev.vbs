' InStrRev finds the last occurrence that ends at or before the start (the end by default).
Log InStrRev("abcabc", "abc") & " " & InStrRev("abcabc", "abc", 5) & " " & InStrRev("abcabc", "abc", 6) ' expect: 4 1 4
Log InStrRev("abcabc", "x") & " " & InStrRev("abc", "c", 10) & " " & InStrRev(12321, 2) ' expect: 0 0 4
' An empty sought text is found at the start; nothing is found in an empty text.
Log InStrRev("abcabc", "") & " " & InStrRev("abcabc", "", 2) & " " & InStrRev("", "a") & " " & InStrRev("", "") ' expect: 6 2 0 0
Log InStrRev("aXbx", "X") & " " & InStrRev("aXbx", "x", -1, vbTextCompare) & " " & InStrRev("aXbx", "X", 3, 1) ' expect: 2 4 2
Log IsNull(InStrRev(Null, "a")) & " " & IsNull(InStrRev("a", Null)) ' expect: True True
' Long texts take the linear search; the answers are the same.
s = String(10000, "a") & "b" & String(10000, "a")
Log InStrRev(s, "ab") & " " & InStrRev(s, "AB", -1, 1) & " " & InStrRev(s, "ba") & " " & InStrRev(s, "b", 10000) ' expect: 10000 10000 10001 0
Log InStrRev(s, String(100, "a"), 10050) & " " & InStrRev(s, String(100, "A"), -1, 1) & " " & InStrRev(s, String(100, "a") & "c") ' expect: 9901 19902 0
On Error Resume Next
x = InStrRev("abc", "b", 0)
Log Err.Number & " " & Err.Description ' expect: 5 Invalid procedure call or argument
Err.Clear
x = InStrRev("abc", "b", -2)
Log Err.Number ' expect: 5
Err.Clear
x = InStrRev("abc", "b", 1, 2)
Log Err.Number ' expect: 5
Err.Clear
x = InStrRev("abc", "b", Null)
Log Err.Number ' expect: 94
Err.Clear
x = InStrRev("abc", "b", "end")
Log Err.Number ' expect: 13
Err.Clear
x = InStrRev(Array(1), "b")
Log Err.Number ' expect: 13
