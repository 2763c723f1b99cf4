#!/usr/bin/env bash
# Sets up the machine, builds a preset (release by default; debug or sanitize also work) and runs the
# whole test suite with CTest, which prints its summary at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
bash scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset"
