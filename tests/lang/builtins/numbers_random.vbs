' Rnd follows the same sequence in every run: the first numbers are always these.
Log Rnd & " " & Rnd(0) & " " & Rnd(1) & " " & Rnd(0) ' expect: 0.7055475115776062 0.7055475115776062 0.5334240198135376 0.5334240198135376
Log Round(Rnd(-1), 7) & " " & Round(Rnd(-1), 7) & " " & (Rnd(-2.5) = Rnd(-2.5)) ' expect: 0.224007 0.224007 True
' A negative argument starts a sequence of its own.
a = Rnd(-7) : b = Rnd : c = Rnd
x = Rnd(-8)
Log (x <> a) & " " & (Rnd(-7) = a) & " " & (Rnd = b) & " " & (Rnd() = c) ' expect: True True True True
' Randomize n repeats a sequence after Rnd with a negative argument.
x = Rnd(-1) : Randomize 5 : a = Rnd : b = Rnd
x = Rnd(-1) : Randomize 5
Log (Rnd = a) & " " & (Rnd = b) ' expect: True True
x = Rnd(-1) : Randomize 6
Log Rnd = a ' expect: False
Randomize
ok = True
For i = 1 To 2000
    r = Rnd
    If r < 0 Or r >= 1 Or TypeName(r) <> "Double" Then ok = False
Next
Log ok ' expect: True
On Error Resume Next
x = Rnd(Null)
Log Err.Number ' expect: 94
Err.Clear
Randomize "soon"
Log Err.Number ' expect: 13
