Log "before" ' expect: before
DoesNotExist 1, 2 ' expect error: Run-time error 35: Sub or Function not defined
