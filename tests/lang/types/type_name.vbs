' TypeName of every value the language has, and of the new built-ins' results.
Dim e, arr(1)
Log TypeName(e) & " " & TypeName(Null) & " " & TypeName(False) & " " & TypeName(-7) ' expect: Empty Null Boolean Long
Log TypeName(0.5) & " " & TypeName("") & " " & TypeName(arr) & " " & TypeName(Nothing) ' expect: Double String Variant() Nothing
Log TypeName(Err) & " " & TypeName(vbCrLf) & " " & TypeName(vbArray) ' expect: ErrObject String Long
Log TypeName(Hex(1)) & " " & TypeName(CByte(1)) & " " & TypeName(CSng(1)) & " " & TypeName(Rnd) ' expect: String Long Double Double
Log TypeName(StrComp("a", "b")) & " " & TypeName(InStrRev("ab", "b")) & " " & TypeName(Filter(Array("a"), "a")) ' expect: Long Long Variant()
Log TypeName(FormatNumber(1)) & " " & TypeName(AscW("a")) & " " & TypeName(ChrW(65)) ' expect: String Long String
