' stock.vbs: a script to try the engine's debugger on. Show the engine's window (Show on page
' Form), click in the gutter beside "total = total + entry.Value" to set a breakpoint, and press
' F5: the script pauses there with its calls and variables beside it. F10 steps over a call,
' F11 into it, Shift+F11 out of it, F5 runs on.
Option Explicit

Class Item
    Public Name, Count, Price

    Public Function Value()
        Value = Count * Price
    End Function
End Class

Dim shelf(3), checked

Sub Main
    Fill
    Log "Stock worth " & Worth()
End Sub

Sub Fill
    Dim names, i
    names = Array("bolts", "nuts", "washers", "screws")
    For i = 0 To 3
        Set shelf(i) = New Item
        shelf(i).Name = names(i)
        shelf(i).Count = (i + 1) * 25
        shelf(i).Price = 0.05 * (i + 1)
    Next
End Sub

Function Worth()
    Dim i, entry, total
    For i = 0 To 3
        Set entry = shelf(i)
        total = total + entry.Value
        checked = checked + 1
    Next
    Worth = total
End Function
