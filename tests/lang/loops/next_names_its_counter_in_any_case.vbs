' A Next names its loop's counter in any case, in For and For Each alike.
For Each v In Array("a")
  For I = 1 To 2
    Log v & i ' expect: a1
  Next i ' expect: a2
Next V
