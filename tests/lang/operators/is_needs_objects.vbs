Log "before" ' expect: before
x = 1 Is Nothing ' expect error: Run-time error 424: Object required
