#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (VELMOR_FUZZ_SECONDS, default 20) on the test fixtures as seed corpus.
# A crash in any target fails the run, after all have had their time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${VELMOR_FUZZ_SECONDS:-20}
if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzz targets skipped"
  exit 0
fi
"$root/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMOR_FUZZ=ON -DVELMOR_TESTS=OFF -DVELMOR_GUI=OFF
fuzz() {
  local target=$1 name corpus seeds
  name=$(basename "$target")
  corpus="$root/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] || seeds="$root/tests/data"
  "$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 "$corpus" "$seeds" \
    >"$root/build-fuzz/$name.log" 2>&1
}
# Each target runs for a fixed time on one core: as many at once as there
# are cores (VELMOR_FUZZ_JOBS), so the time taken shrinks and none fuzzes less.
jobs=${VELMOR_FUZZ_JOBS:-$(nproc)}
targets=()
for target in "$root"/build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] && targets+=("$target")
done
failed=0
for ((k = 0; k < ${#targets[@]}; k += jobs)); do
  batch=("${targets[@]:k:jobs}")
  pids=()
  for target in "${batch[@]}"; do
    echo "fuzzing $(basename "$target") for ${seconds}s"
    fuzz "$target" &
    pids+=($!)
  done
  for j in "${!pids[@]}"; do
    log="$root/build-fuzz/$(basename "${batch[j]}").log"
    if wait "${pids[j]}"; then
      tail -1 "$log"
    else
      tail -40 "$log"
      failed=1
    fi
  done
done
exit "$failed"
