#!/usr/bin/env bash
# Builds velmor_core, velmor-cli.exe and their test programs for 64-bit
# Windows with mingw-w64 into build-windows/ (velmor-cli.exe is left at
# build-windows/velmor-cli.exe, linked statically: it runs on Windows, and
# under Wine, without DLLs beside it). Installs what it needs first.
#
#   scripts/build-windows.sh [BUILD_TYPE]      (default Release)
#
# When the cross compiler cannot be installed it says so, leaves the reason
# in build-windows/UNAVAILABLE (the Windows tests then report themselves
# skipped) and exits 0 only when VELMOR_WINDOWS_OPTIONAL=1, else 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-windows"
type=${1:-Release}

packages=(cmake mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
          googletest libcli11-dev nlohmann-json3-dev)
mkdir -p "$build"
rm -f "$build/UNAVAILABLE"
if ! "$root/scripts/install-packages.sh" "${packages[@]}"; then
  echo "mingw-w64 could not be installed (${packages[*]}): no Windows build" | tee "$build/UNAVAILABLE" >&2
  [ "${VELMOR_WINDOWS_OPTIONAL:-0}" = 1 ] && exit 0
  exit 1
fi

"$root/scripts/build.sh" build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="$type" -DVELMOR_GUI=OFF
cp "$build/src/cli/velmor-cli.exe" "$build/velmor-cli.exe"
