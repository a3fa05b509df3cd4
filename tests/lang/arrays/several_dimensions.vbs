' Arrays of several dimensions: bounds per dimension, the first index runs fastest, and
' ReDim Preserve changes the last dimension only.
Dim m(2, 3)
Log UBound(m) & " " & UBound(m, 1) & " " & UBound(m, 2) & " " & LBound(m, 2) ' expect: 2 2 3 0
For i = 0 To 2
  For j = 0 To 3
    m(i, j) = i * 10 + j
  Next
Next
Log m(2, 3) & " " & m(1, 0) ' expect: 23 10
For Each v In m
  s = s & v & ","
Next
Log s ' expect: 0,10,20,1,11,21,2,12,22,3,13,23,

ReDim grid(1, 1)
grid(1, 1) = "corner"
ReDim Preserve grid(1, 3)
grid(0, 3) = "new"
Log grid(1, 1) & " " & grid(0, 3) & " " & UBound(grid, 2) ' expect: corner new 3
copy = grid
copy(0, 0) = "changed"
Log "[" & grid(0, 0) & "]" ' expect: []

Dim cube(1, 1, 1)
cube(1, 0, 1) = "x"
Log cube(1, 0, 1) & "[" & cube(0, 1, 0) & "]" ' expect: x[]
holder = Array(m)
Log holder(0)(2, 3) ' expect: 23
holder(0)(0, 1) = "in place"
Log holder(0)(0, 1) & " " & m(0, 1) ' expect: in place 1

ReDim wide(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)
wide(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) = "sixty"
Log wide(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) ' expect: sixty

On Error Resume Next
x = m(3, 0)
Log "past a bound " & Err.Number ' expect: past a bound 9
Err.Clear
x = m(1)
Log "too few indices " & Err.Number ' expect: too few indices 9
Err.Clear
x = UBound(m, 3)
Log "no such dimension " & Err.Number ' expect: no such dimension 9
Err.Clear
ReDim Preserve grid(2, 3)
Log "not the last dimension " & Err.Number & " " & UBound(grid, 1) ' expect: not the last dimension 9 1
Err.Clear
ReDim Preserve grid(1, 2, 3)
Log "another count of dimensions " & Err.Number ' expect: another count of dimensions 9
Err.Clear
ReDim tooMany(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)
Log "sixty-one dimensions " & Err.Number ' expect: sixty-one dimensions 9
Err.Clear
ReDim huge(100000, 100000)
Log "too many elements " & Err.Number ' expect: too many elements 7
Err.Clear

' Erase empties a fixed array and frees a dynamic one.
On Error GoTo 0
Dim fixedOne(1, 2)
fixedOne(1, 2) = "kept bounds"
Erase fixedOne
Log "[" & fixedOne(1, 2) & "] " & UBound(fixedOne, 2) ' expect: [] 2
ReDim dynamicOne(3)
dynamicOne(3) = "gone"
Erase dynamicOne
Log UBound(dynamicOne) ' expect: -1
ReDim dynamicOne(1)
Log "[" & dynamicOne(1) & "]" ' expect: []
notAnArray = 5
Erase notAnArray ' expect error: Run-time error 13: Type mismatch
