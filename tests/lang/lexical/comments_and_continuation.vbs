' A comment line
Rem another comment
Log "a" ' expect: a
REM Rem in any case
x = 1 + _
    2
Log x ' expect: 3
Log "one" : Log "two" ' expect: one
' expect: two
Log "it's inside" ' expect: it's inside
y = 4 Rem a trailing Rem comment
Log y ' expect: 4
