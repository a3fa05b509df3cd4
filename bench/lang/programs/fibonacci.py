# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
def fib(n):
    if n < 2:
        return n
    else:
        return fib(n - 1) + fib(n - 2)
print(fib(27))
