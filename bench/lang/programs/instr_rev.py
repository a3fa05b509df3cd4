# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
# A million calls of Python's nearest equivalent of InStrRev, rfind within the first `start`.
s = "the quick brown fox jumps over the lazy dog"
total = 0
for i in range(1, 1000001):
    total = total + s.rfind("o", 0, (i % 40) + 3) + 1
print(total)
