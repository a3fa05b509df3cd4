started = Timer
Sleep 30
Log (Timer - started) >= 0.025 ' expect: True
