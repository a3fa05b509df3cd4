' Filter keeps the items (as texts) that contain the match, or with include False the others.
a = Array("apple", "Banana", "cherry", "grape")
Log Join(Filter(a, "an"), ",") & " " & Join(Filter(a, "a"), ",") ' expect: Banana apple,Banana,grape
Log Join(Filter(a, "A", True, vbTextCompare), ",") & " " & Join(Filter(a, "A"), ",") & "|" ' expect: apple,Banana,grape |
Log Join(Filter(a, "a", False), ",") & " " & Join(Filter(a, "AN", vbFalse, 1), ",") ' expect: cherry apple,cherry,grape
Log UBound(Filter(a, "zz")) & " " & UBound(Filter(a, "")) & " " & UBound(Filter(Array(), "a")) ' expect: -1 3 -1
n = Filter(Array(1, 22, 3, 2.5), 2)
Log Join(n, ",") & " " & TypeName(n(0)) ' expect: 22,2.5 String
On Error Resume Next
x = Filter("abc", "a")
Log Err.Number ' expect: 13
Err.Clear
x = Filter(Null, "a")
Log Err.Number ' expect: 94
Err.Clear
x = Filter(a, Null)
Log Err.Number ' expect: 94
Err.Clear
x = Filter(a, "a", True, 2)
Log Err.Number ' expect: 5
Err.Clear
x = Filter(Array("a", Null), "a")
Log Err.Number ' expect: 94
Err.Clear
x = Filter(Array(Array()), "a")
Log Err.Number ' expect: 13
