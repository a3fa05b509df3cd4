s = ""
For i = 1 To 5
  s = s & i
Next
Log s ' expect: 12345
Log i ' expect: 6
s = ""
For i = 10 To 1 Step -3: s = s & "," & i: Next
Log s ' expect: ,10,7,4,1
s = ""
For x = 0 To 1 Step 0.25: s = s & x & ";": Next
Log s ' expect: 0;0.25;0.5;0.75;1;
For i = 5 To 1
  Log "never"
Next
count = 0
For i = 1 To 10
  If i = 4 Then Exit For
  count = count + 1
Next
Log count & " " & i ' expect: 3 4
total = 0
For i = 1 To 3
  For j = 1 To 3
    total = total + i * j
  Next j
Next i
Log total ' expect: 36
For i = 1 To 3
  i = i + 1
  s2 = s2 & i
Next
Log s2 ' expect: 24
