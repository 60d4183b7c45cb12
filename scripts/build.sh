#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh DIR [cmake options...]
# Uses ccache when it is installed (it is not needed).
set -euo pipefail
dir=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
launcher=()
# Paths below the checkout are hashed relative to it, so that another clone
# (CI's) finds what this one compiled.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Ninja starts the compilers with less overhead than make; a folder made
# earlier keeps the generator it was made with.
generator=()
if command -v ninja >/dev/null && [ ! -f "$root/$dir/CMakeCache.txt" ]; then
  generator=(-G Ninja)
fi
cmake -S "$root" -B "$root/$dir" "${generator[@]}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$root/$dir" -j2
