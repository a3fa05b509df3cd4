#!/usr/bin/env bash
# An engine in a host process against the same engine in process: a Text read, Create, and Start
# of an empty cycle until the engine is idle again.
set -euo pipefail
build=${1:-build/release}
"$build/bin/velscript_hosting_bench" "$build/reference-components"
