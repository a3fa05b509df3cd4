Set Err = Nothing ' expect error: Syntax error at column 5: Illegal assignment: 'Err' is bound by the host
