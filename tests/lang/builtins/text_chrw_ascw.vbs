' AscW answers the first UTF-16 code unit as a signed 16-bit number; ChrW takes either form.
Log AscW("A") & " " & AscW("€uro") & " " & AscW(ChrW(&H7FFF)) & " " & AscW(ChrW(&H8000)) ' expect: 65 8364 32767 -32768
Log AscW(ChrW(&HFFFF)) & " " & AscW("한") & " " & AscW("😀") & " " & AscW(5) ' expect: -1 -10916 -10179 53
Log ChrW(65) & " " & (ChrW(-1) = ChrW(65535)) & " " & (ChrW(AscW("한")) = "한") & " " & Len(ChrW(0)) ' expect: A True True 1
Log (ChrW(&HD83D) & ChrW(-8704) = "😀") & " " & ChrW("66") ' expect: True B
On Error Resume Next
x = ChrW(65536)
Log Err.Number ' expect: 5
Err.Clear
x = ChrW(-32769)
Log Err.Number ' expect: 5
Err.Clear
x = AscW("")
Log Err.Number ' expect: 5
Err.Clear
x = AscW(Null)
Log Err.Number ' expect: 94
Err.Clear
x = ChrW(Null)
Log Err.Number ' expect: 94
Err.Clear
x = ChrW("x")
Log Err.Number ' expect: 13
