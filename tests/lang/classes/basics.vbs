' A class with variables, routines and properties; New makes an instance, `.` reaches its members.
Class Counter
  Private m_count
  Public Name

  Private Sub Class_Initialize
    m_count = 0
    Name = "unnamed"
  End Sub

  Public Sub Add(n)
    m_count = m_count + n
  End Sub

  Public Function Twice()
    Twice = m_count * 2
  End Function

  Public Property Get Count
    Count = m_count
  End Property

  Public Property Let Count(value)
    If value < 0 Then Exit Property
    m_count = value
  End Property
End Class

Dim c
Set c = New Counter
Log c.Name & " " & c.Count ' expect: unnamed 0
c.Add 5
c.Add(2)
Call c.Add(3)
Log c.Count & " " & c.Twice() & " " & c.Twice ' expect: 10 20 20
c.Count = 40
c.Count = -1
Log c.Count ' expect: 40
c.Name = "clicks"
Log c.Name ' expect: clicks
Log TypeName(c) & " " & IsObject(c) & " " & VarType(c) ' expect: Counter True 9

' Two instances have their own variables; Set shares one instance, Is tells them apart.
Dim d, e
Set d = New Counter
Set e = d
d.Add 1
e.Add 1
Log d.Count & " " & c.Count ' expect: 2 40
Log (d Is e) & " " & (c Is d) & " " & (c Is Nothing) ' expect: True False False
Set e = Nothing
Log (e Is Nothing) & " " & TypeName(e) ' expect: True Nothing
