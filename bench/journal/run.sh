#!/usr/bin/env bash
# The journal's cost on 100,000 Text reads: off, on to the category, on to a file, each against
# the bare call in the same run.
set -euo pipefail
build=${1:-build/release}
"$build/bin/velscript_journal_bench"
