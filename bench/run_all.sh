#!/usr/bin/env bash
# Runs every benchmark against an optimised build folder; each prints its own ratios.
set -euo pipefail
build=${1:-build/release}
here=$(cd "$(dirname "$0")" && pwd)
for script in "$here"/*/run.sh; do
    echo "== $(basename "$(dirname "$script")")"
    bash "$script" "$build"
done
