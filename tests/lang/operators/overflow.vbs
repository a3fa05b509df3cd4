' Integer arithmetic that leaves the 32-bit range widens to a Double, at every edge.
x = 2147483647
Log x - 1 ' expect: 2147483646
Log TypeName(x - 1) ' expect: Long
Log x + 1 ' expect: 2147483648
Log TypeName(x + 1) ' expect: Double
Log -x - 2 ' expect: -2147483649
Log 65536 * 32768 ' expect: 2147483648
Log TypeName(65536 * 32767) ' expect: Long
Log -65536 * 32768 ' expect: -2147483648
Log TypeName(-65536 * 32768) ' expect: Long
m = -2147483647 - 1
Log TypeName(m) ' expect: Long
Log -m ' expect: 2147483648
Log TypeName(-m) ' expect: Double
Log m - 1 ' expect: -2147483649
Log x * x ' expect: 4.6116860141324206E+18
Log x + "1" ' expect: 2147483648
Log x + 0.5 ' expect: 2147483647.5
' Counting on past the range keeps the sum exact.
t = 0
For i = 1 To 200000
  t = t + i
Next
Log t ' expect: 20000100000
' Error 6 stays for a conversion out of range, integer division, and an infinite Double.
On Error Resume Next
y = CLng(x + 1)
Log Err.Number ' expect: 6
Err.Clear
y = m \ -1
Log Err.Number ' expect: 6
Err.Clear
On Error GoTo 0
y = 1.7E+308 * 10 ' expect error: Run-time error 6: Overflow
