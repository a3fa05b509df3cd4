' Exit Sub and Exit Function clear Err, so the caller does not see an error the routine met under
' its own On Error Resume Next; a routine that ends at End Sub leaves Err as it is.
Sub Leaves
  On Error Resume Next
  x = 1 / 0
  Exit Sub
End Sub
Function Gives
  On Error Resume Next
  x = CInt("abc")
  Gives = Err.Number
  Exit Function
End Function
Sub Ends
  On Error Resume Next
  x = 1 / 0
End Sub
On Error Resume Next
Leaves
Log Err.Number ' expect: 0
Log Gives ' expect: 13
Log Err.Number ' expect: 0
Ends
Log Err.Number ' expect: 11
