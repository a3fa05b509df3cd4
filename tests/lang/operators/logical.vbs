Log True And False ' expect: False
Log True Or False ' expect: True
Log True Xor False ' expect: True
Log Not True ' expect: False
Log Not 0 ' expect: -1
Log 12 And 10 ' expect: 8
Log 12 Or 3 ' expect: 15
Log 12 Xor 10 ' expect: 6
Log Null And False ' expect: False
Log Null Or True ' expect: True
Log IsNull(Null And True) ' expect: True
Log True And 3 ' expect: 3
