x = 1
Log Me.x ' expect error: Syntax error at column 5: Invalid use of 'Me' keyword
