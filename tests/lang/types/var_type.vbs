' VarType of every value the language has.
Dim e, arr(2)
Log VarType(e) & " " & VarType(Null) & " " & VarType(True) & " " & VarType(42) ' expect: 0 1 11 3
Log VarType(2.5) & " " & VarType(2147483648) & " " & VarType("s") & " " & VarType("") ' expect: 5 5 8 8
Log VarType(Array()) & " " & VarType(arr) & " " & VarType(Split("a b")) ' expect: 8204 8204 8204
Log (VarType(Nothing) = vbObject) & " " & (VarType(Array(1)) = vbArray + vbVariant) ' expect: True True
' An object with a default value answers that value's type.
Log VarType(Err) = vbLong ' expect: True
Log VarType(1 + 1) & " " & VarType(2147483647 + 1) & " " & VarType(7 / 7) & " " & VarType(7 \ 2) ' expect: 3 5 5 3
Log VarType(CStr(1)) & " " & VarType(CBool(1)) & " " & VarType(CDbl(1)) & " " & VarType(CLng("5")) ' expect: 8 11 5 3
Log VarType("a" & 1) & " " & VarType(1 = 1) & " " & VarType(Null + 1) ' expect: 8 11 1
Sub Show(ByRef v)
    Log VarType(v)
End Sub
x = "by reference"
Show x ' expect: 8
Show arr ' expect: 8204
Log VarType() ' expect error: Run-time error 450: Wrong number of arguments or invalid property assignment
