Dim e
Log TypeName(e) ' expect: Empty
Log TypeName(Null) ' expect: Null
Log TypeName(True) ' expect: Boolean
Log TypeName(1) ' expect: Long
Log TypeName(1.5) ' expect: Double
Log TypeName("s") ' expect: String
Log TypeName(Array(1)) ' expect: Variant()
Log TypeName(Nothing) ' expect: Nothing
Log TypeName(Err) ' expect: ErrObject
Log CInt(True) ' expect: -1
Log IsEmpty(e) & IsNull(Null) & IsArray(Array()) & IsObject(Nothing) ' expect: TrueTrueTrueTrue
Log IsNumeric("12.5") & IsNumeric("abc") & IsNumeric(7) & IsNumeric(" &H10 ") ' expect: TrueFalseTrueTrue
