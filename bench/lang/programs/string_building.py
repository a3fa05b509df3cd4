# Benchmark program; its VelScript twin beside it does the same work and prints the same line.
def build(pieces):
    s = ""
    for i in range(1, pieces + 1):
        s = s + "0123456789"
    return s
print(len(build(100000)))
