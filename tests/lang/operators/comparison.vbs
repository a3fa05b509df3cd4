Log 2 < 10 ' expect: True
Log "2" < "10" ' expect: False
Log "abc" = "abc" ' expect: True
Log "abc" = "ABC" ' expect: False
Log "b" > "a" ' expect: True
Log 10 = "10" ' expect: True
Log 1 <> 1.0 ' expect: False
Log Empty = 0 ' expect: True
Log Empty = "" ' expect: True
Log 3 >= 3 And 2 <= 1 ' expect: False
Log Nothing Is Nothing ' expect: True
Log Err Is Nothing ' expect: False
Log 2.5 > 2 ' expect: True
