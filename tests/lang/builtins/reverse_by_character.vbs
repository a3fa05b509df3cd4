' StrReverse keeps a character outside the basic plane whole.
s = "a" & ChrW2 & "b"
Function ChrW2
  ChrW2 = Chr(&HD83D) & Chr(&HDE00)
End Function
r = StrReverse(s)
Log Len(r) & " " & Asc(Left(r, 1)) & " " & Asc(Mid(r, 2, 1)) & " " & Asc(Mid(r, 3, 1)) ' expect: 4 98 55357 56832
Log StrReverse("😀x😃") = "😃x😀" ' expect: True
' Halves of pairs that stand alone are characters of their own.
Log StrReverse(Chr(&HDE00) & Chr(&HD83D)) = Chr(&HD83D) & Chr(&HDE00) ' expect: True
