#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs the whole test suite.
# Usage: scripts/test.sh [preset]   (ci by default; asan and tsan are the sanitizer builds)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-ci}"
bash scripts/bootstrap.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
