#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for SECONDS (default 60),
# starting from the seed corpus in tests/fuzz/corpus. Prints each target's run count.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in FuzzProfileBlob FuzzProfileSetBlob FuzzProfileFile FuzzDeviceReplies; do
  work=build/fuzz/corpus/$target
  mkdir -p "$work"
  log=build/fuzz/$target.log
  build/fuzz/tests/fuzz/$target -max_total_time="$seconds" -print_final_stats=1 "$work" tests/fuzz/corpus/$target \
    >"$log" 2>&1 || { tail -40 "$log"; echo "$target: FINDING (see $log)"; exit 1; }
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  echo "$target: $runs runs in ${seconds}s, no finding"
done
