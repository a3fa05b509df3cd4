For Each item In Array("a", "b", "c")
  s = s & item
Next
Log s ' expect: abc
Dim nums(2)
nums(0) = 1: nums(1) = 2: nums(2) = 3
For Each n In nums
  sum = sum + n
  If n = 2 Then Exit For
Next
Log sum ' expect: 3
For Each n In nums
  nums(0) = 100
  t = t & n
Next
Log t & " " & nums(0) ' expect: 123 100
For Each n In Array()
  Log "never"
Next
For Each n In 5 ' expect error: Run-time error 13: Type mismatch
Next
