Function Area(width, _
              Width) ' expect error: Syntax error at column 15: Name redefined: 'Width'
End Function
