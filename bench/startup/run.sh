#!/usr/bin/env bash
# Start-up to the first painted window: the tester against a bare Qt window of the same size, and
# against the same bare window showing one label, measured in turn in the same run. Prints the
# medians and the ratios.
set -euo pipefail
build=${1:-build/release}
probe="$build/bin/velscript_startup_probe"
runs=${RUNS:-30}
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} python3 - "$probe" "$runs" <<'PY'
import statistics, subprocess, sys, time
probe, runs = sys.argv[1], int(sys.argv[2])
def once(kind):
    start = time.monotonic_ns()
    out = subprocess.run([probe, kind], capture_output=True, text=True, check=True).stdout
    return (int(out.split()[0]) - start) / 1e6
kinds = ("bare", "text", "tester")
for kind in kinds:  # warm the file cache
    once(kind)
samples = {kind: [] for kind in kinds}
for _ in range(runs):
    for kind in kinds:
        samples[kind].append(once(kind))
bare, text, tester = (statistics.median(samples[k]) for k in kinds)
print(f"bare Qt window:          median {bare:.1f} ms to first paint ({runs} runs)")
print(f"bare window with a label: median {text:.1f} ms")
print(f"tester window:           median {tester:.1f} ms")
print(f"ratio tester/bare: {tester / bare:.2f}")
print(f"ratio tester/bare with a label: {tester / text:.2f}")
PY
