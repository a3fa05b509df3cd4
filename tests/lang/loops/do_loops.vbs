n = 0
Do While n < 3
  n = n + 1
Loop
Log n ' expect: 3
Do Until n = 0
  n = n - 1
Loop
Log n ' expect: 0
Do
  n = n + 1
Loop While n < 5
Log n ' expect: 5
Do
  n = n + 10
Loop Until True
Log n ' expect: 15
Do
  n = n + 1
  If n >= 20 Then Exit Do
Loop
Log n ' expect: 20
Do While False
  Log "never"
Loop
w = 0
While w < 4
  w = w + 2
Wend
Log w ' expect: 4
For i = 1 To 3
  Do
    Exit For
  Loop
  Log "never reached"
Next
Log "Exit For leaves the Do too: " & i ' expect: Exit For leaves the Do too: 1
