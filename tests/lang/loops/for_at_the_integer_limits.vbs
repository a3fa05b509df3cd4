' The last round at the very end of the integers is a round like any other.
rounds = 0
For i = 2147483645 To 2147483647
  rounds = rounds + 1
Next
Log rounds & " " & i ' expect: 3 2147483648
rounds = 0
For i = -2147483647 - 1 + 2 To -2147483647 - 1 Step -1
  rounds = rounds + 1
Next
Log rounds & " " & i ' expect: 3 -2147483649
Log TypeName(i) ' expect: Double
i = 2147483647
i = i + 1
Log i & " " & TypeName(i) ' expect: 2147483648 Double
