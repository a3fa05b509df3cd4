Log "a" ' expect: a
Err.Raise 1234, "src", "my own error" ' expect error: Run-time error 1234: my own error
