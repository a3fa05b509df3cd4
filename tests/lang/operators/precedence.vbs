Log 1 + 2 * 3 ' expect: 7
Log (1 + 2) * 3 ' expect: 9
Log 2 ^ 3 ^ 2 ' expect: 64
Log -2 ^ 2 ' expect: -4
Log 2 ^ -1 ' expect: 0.5
Log 10 - 4 - 3 ' expect: 3
Log 7 \ 2 * 2 ' expect: 1
Log 7 Mod 4 \ 2 ' expect: 1
Log 1 + 2 & 3 + 4 ' expect: 37
Log 1 < 2 = True ' expect: True
Log Not 1 = 2 ' expect: True
Log True Or False And False ' expect: True
Log True Xor True Or True ' expect: False
Log 5 - -3 ' expect: 8
Log -3 Mod 2 ' expect: -1
Log 2 * 3 ^ 2 ' expect: 18
