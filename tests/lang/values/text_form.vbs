Log 42 ' expect: 42
Log -7 ' expect: -7
Log 2.5 ' expect: 2.5
Log 0.1 ' expect: 0.1
Log 1 / 3 ' expect: 0.3333333333333333
Log 10 / 4 ' expect: 2.5
Log 6 / 2 ' expect: 3
Log 0.1 + 0.2 ' expect: 0.30000000000000004
Log True ' expect: True
Log False ' expect: False
Log "[" & Empty & "]" ' expect: []
Log 1E+20 ' expect: 1E+20
Log 123456789012 ' expect: 123456789012
Log 2 ^ 10 ' expect: 1024
Log -0.5 ' expect: -0.5
