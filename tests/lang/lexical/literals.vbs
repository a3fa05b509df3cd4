Log &HFF ' expect: 255
Log &h7FFFFFFF ' expect: 2147483647
Log &HFFFFFFFF ' expect: -1
Log &O17 ' expect: 15
Log &o777& ' expect: 511
Log &O37777777777 ' expect: -1
Other = "b"
Log "a" &Other ' expect: ab
Log "say ""hi""" ' expect: say "hi"
Log "[" & "" & "]" ' expect: []
Log 1.5E3 ' expect: 1500
Log .25 ' expect: 0.25
Log 2147483648 ' expect: 2147483648
Log TypeName(2147483648) ' expect: Double
Log TypeName(2147483647) ' expect: Long
Log TypeName(1.0) ' expect: Double
