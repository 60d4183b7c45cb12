#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (VELMOR_FUZZ_SECONDS, default 20) on the test fixtures as seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${VELMOR_FUZZ_SECONDS:-20}
if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzz targets skipped"
  exit 0
fi
"$root/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMOR_FUZZ=ON -DVELMOR_TESTS=OFF -DVELMOR_GUI=OFF
for target in "$root"/build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] || seeds="$root/tests/data"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 "$corpus" "$seeds" \
    >"$root/build-fuzz/$name.log" 2>&1 || { tail -40 "$root/build-fuzz/$name.log"; exit 1; }
  tail -1 "$root/build-fuzz/$name.log"
done
