' Three million calls of a method that changes the instance's variable.
Class Counter
  Private m_count
  Private Sub Class_Initialize
    m_count = 0
  End Sub
  Public Sub Add(n)
    m_count = m_count + n
  End Sub
  Public Property Get Count
    Count = m_count
  End Property
End Class
Dim c, i
Set c = New Counter
For i = 1 To 3000000
  c.Add i
Next
Log c.Count
