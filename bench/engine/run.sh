#!/usr/bin/env bash
# The reference engine: Start latency of one empty cycle, and the counting loop's speed in
# continuous mode with the per-statement hook against velscript --fast, in the same run.
set -euo pipefail
build=${1:-build/release}
"$build/bin/velscript_engine_bench" "$build/bin/velscript"
