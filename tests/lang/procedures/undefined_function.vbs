x = 1
y = Missing(x) + 1 ' expect error: Run-time error 35: Sub or Function not defined
