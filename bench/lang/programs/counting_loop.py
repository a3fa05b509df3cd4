# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
def count(n):
    total = 0
    for i in range(1, n + 1):
        total = (total + i * 3) % 1000003
    return total
print(count(10000000))
