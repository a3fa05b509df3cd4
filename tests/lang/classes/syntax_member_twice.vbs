Class Twice
  Public Size
  Public Function Size() ' expect error: Syntax error at column 1: Name redefined: 'Size'
  End Function
End Class
