# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
# A million calls of Python's nearest equivalent of FormatNumber, grouped fixed-point formatting.
total = 0
last = ""
for i in range(1, 1000001):
    last = f"{i * 1.25:,.2f}"
    total = total + len(last)
print(f"{total} {last}")
