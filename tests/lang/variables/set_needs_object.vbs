Set o = Err
Log TypeName(o) ' expect: ErrObject
Set o = 5 ' expect error: Run-time error 424: Object required
