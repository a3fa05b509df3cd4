# A million instances made, given their variables, asked a method, and let go.
class Point:
    def __init__(self):
        self.x = None
        self.y = None

    def length2(self):
        return self.x * self.x + self.y * self.y


total = 0
for i in range(1, 1000001):
    p = Point()
    p.x = i % 100
    p.y = 3
    total = total + p.length2()
print(total)
