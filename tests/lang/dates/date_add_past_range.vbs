' A DateAdd past the last year a Date holds is an invalid call, not an overflow.
d = #9999-12-15 12:00#
x = DateAdd("m", 1, d) ' expect error: Run-time error 5: Invalid procedure call or argument
