' What a class refuses at run time, and the calls that lead there.
Class Account
  Private m_balance
  Public Sub Deposit(amount)
    If amount <= 0 Then Err.Raise 5 ' expect error: Run-time error 5: Invalid procedure call or argument
    m_balance = m_balance + amount
  End Sub
  Public Sub Transfer(amount)
    Deposit amount
  End Sub
  Public Property Get Balance
    Balance = m_balance
  End Property
End Class

Dim a
Set a = New Account
a.Deposit 10
On Error Resume Next
Log a.m_balance ' private from outside
Log Err.Number ' expect: 438
Err.Clear
a.Withdraw 5 ' no such member
Log Err.Number ' expect: 438
Err.Clear
a.Balance = 3 ' a property without Property Let
Log Err.Number ' expect: 450
Err.Clear
Dim x
Set x = New Missing
Log Err.Number & " " & Err.Description ' expect: 506 Class not defined
Err.Clear
Log a.Deposit(1, 2)
Log Err.Number ' expect: 450
Err.Clear
Dim nothingYet
nothingYet.Deposit 1
Log Err.Number ' expect: 424
On Error GoTo 0
Log a.Balance ' expect: 10

Sub Pay
  a.Transfer 0
End Sub
Pay
' expect calls: Account.Deposit 5, Account.Transfer 9, Pay 43
