# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
# A million of Python's nearest equivalent of DateAdd("d", ...), a datetime plus a timedelta.
from datetime import datetime, timedelta

d = datetime(2024, 1, 31, 8, 30)
last = d
for i in range(1, 1000001):
    last = d + timedelta(days=i % 3650)
print(last)
