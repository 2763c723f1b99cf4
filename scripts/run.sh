#!/usr/bin/env bash
# Sets up the machine, builds the release preset and starts the main program.
# Until the configurator window exists this starts zelmorctl with the given arguments (--help by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
[ $# -eq 0 ] && set -- --help
exec build/release/src/cli/zelmorctl "$@"
