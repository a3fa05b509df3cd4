' A Public Default Function or Property Get is what the instance stands for as a plain value.
Class Money
  Private m_cents
  Public Sub Init(cents)
    m_cents = cents
  End Sub
  Public Default Property Get Amount
    Amount = m_cents / 100
  End Property
End Class

Class List
  Private m_items
  Private Sub Class_Initialize
    m_items = Array("zero", "one", "two")
  End Sub
  Public Default Function Item(i)
    Item = m_items(i)
  End Function
End Class

Dim price
Set price = New Money
price.Init 250
Log price ' expect: 2.5
Log price + 1 ' expect: 3.5
Log "costs " & price ' expect: costs 2.5
If price > 2 Then Log "dear" ' expect: dear

Dim l
Set l = New List
Log l(1) & " " & l.Item(2) ' expect: one two

' An instance without a Default member has no plain value.
Class Plain
End Class
Dim p
Set p = New Plain
Log p ' expect error: Run-time error 438: Object doesn't support this property or method
