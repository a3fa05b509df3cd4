' Inside a class its own members need no `Me.`; Me is the instance, passed on like any object.
Class Node
  Public Value
  Public NextNode

  Private Sub Class_Initialize
    Set NextNode = Nothing ' a variable starts Empty, which Is cannot compare
  End Sub

  Public Function Append(v)
    Dim n
    Set n = New Node
    n.Value = v
    Set NextNode = n
    Set Append = n
  End Function

  Public Function Total()
    Total = Value
    If Not NextNode Is Nothing Then Total = Total + NextNode.Total()
  End Function

  Public Function Itself()
    Set Itself = Me
  End Function

  Public Sub Describe
    Log "node " & Me.Value & " of " & Sum(Me)
  End Sub
End Class

Function Sum(node)
  Sum = node.Total
End Function

Dim head, tail
Set head = New Node
head.Value = 1
Set tail = head.Append(2).Append(3)
Log head.Total() ' expect: 6
Log (head.Itself() Is head) ' expect: True
head.Describe ' expect: node 1 of 6
tail.Describe ' expect: node 3 of 3
