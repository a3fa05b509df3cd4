# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
def fill_and_sum(n):
    m = [[0] * n for _ in range(n)]
    for i in range(n):
        for j in range(n):
            m[i][j] = i + j
    total = 0
    for i in range(n):
        for j in range(n):
            total += m[i][j]
    return total
print(fill_and_sum(1000))
