# Three million calls of a method that changes the instance's variable.
class Counter:
    def __init__(self):
        self.count = 0

    def add(self, n):
        self.count = self.count + n


c = Counter()
for i in range(1, 3000001):
    c.add(i)
print(c.count)
