#!/usr/bin/env bash
# The language against Python 3 on programs that do the same work: a counting loop with
# arithmetic (10 million rounds), recursive Fibonacci of 27, a 1 MB text built piece by piece, a
# 1000 x 1000 two-dimensional array filled and summed, a million calls each of FormatNumber,
# InStrRev and DateAdd (against f"{x:,.2f}", str.rfind and a datetime plus a timedelta), a million
# class instances made and asked a method, and three million method calls on one instance (against
# Python classes).
# Each program runs in turn as Python, as velscript --fast and as velscript with the per-statement
# hook, in the same run; prints the medians and the ratios (below 1 means faster than Python).
set -euo pipefail
build=${1:-build/release}
velscript="$build/bin/velscript"
programs="$(cd "$(dirname "$0")" && pwd)/programs"
runs=${RUNS:-5}
python3 - "$velscript" "$programs" "$runs" <<'PY'
import statistics, subprocess, sys, time
velscript, programs, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
def once(command):
    start = time.monotonic_ns()
    out = subprocess.run(command, capture_output=True, text=True, check=True).stdout
    return (time.monotonic_ns() - start) / 1e6, out
for name in ("counting_loop", "fibonacci", "string_building", "two_dimensional", "format_number",
             "instr_rev", "date_add", "new_instances", "method_calls"):
    kinds = {
        "python": ["python3", f"{programs}/{name}.py"],
        "fast": [velscript, "--fast", f"{programs}/{name}.vbs"],
        "hooked": [velscript, f"{programs}/{name}.vbs"],
    }
    outputs = {kind: once(command)[1] for kind, command in kinds.items()}  # also warms caches
    if len(set(outputs.values())) != 1:
        sys.exit(f"{name}: the programs disagree: {outputs}")
    samples = {kind: [] for kind in kinds}
    for _ in range(runs):
        for kind, command in kinds.items():
            samples[kind].append(once(command)[0])
    python, fast, hooked = (statistics.median(samples[k]) for k in kinds)
    print(f"{name}: python {python:.0f} ms, fast {fast:.0f} ms, hooked {hooked:.0f} ms"
          f" (medians of {runs})")
    print(f"  ratio fast/python {fast / python:.2f}, hooked/python {hooked / python:.2f},"
          f" hooked/fast {hooked / fast:.2f}")
PY
# The text built-ins against QString, and what loading costs in memory.
"$build/bin/velscript_text_speed"
"$build/bin/velscript_load_memory" 20
