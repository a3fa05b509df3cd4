' An error in a property routine names it, and the calls that led there, in the call stack.
Class Temperature
  Private m_celsius
  Public Property Let Celsius(value)
    If value < -273.15 Then Err.Raise 5, "Temperature", "below absolute zero"
    m_celsius = value
  End Property
  Public Property Get Fahrenheit
    Fahrenheit = m_celsius * 9 / 5 + 32
  End Property
  Public Property Get Ratio
    Ratio = 1 / m_celsius ' expect error: Run-time error 11: Division by zero
  End Property
End Class

Dim t
Set t = New Temperature
t.Celsius = 100
Log t.Fahrenheit ' expect: 212
On Error Resume Next
t.Celsius = -300
Log Err.Number & " " & Err.Source & ": " & Err.Description ' expect: 5 Temperature: below absolute zero
On Error GoTo 0
t.Celsius = 0

Function Show(x)
  Show = "ratio " & x.Ratio
End Function
Log Show(t)
' expect calls: Temperature.Ratio 12, Show 27
