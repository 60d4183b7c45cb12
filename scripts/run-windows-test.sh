#!/usr/bin/env bash
# Runs a Windows program of the mingw-w64 build under 64-bit Wine:
#   scripts/run-windows-test.sh PROGRAM.exe [ARGS...]
# in the Wine prefix $VELMOR_WINE_PREFIX (default build-windows/wine-prefix,
# made on first use). Exits 77 (skipped) when there is no Windows build
# because mingw-w64 could not be installed, or when Wine is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$1
shift
build="$root/build-windows"
if [ -f "$build/UNAVAILABLE" ]; then
  echo "SKIPPED: $(cat "$build/UNAVAILABLE")"
  exit 77
fi
if ! command -v wine >/dev/null; then
  echo "SKIPPED: Wine is not installed, so the Windows programs cannot run"
  exit 77
fi
if [ ! -f "$program" ]; then
  echo "SKIPPED: $program is not built (scripts/build-windows.sh builds it)"
  exit 77
fi
export WINEPREFIX=${VELMOR_WINE_PREFIX:-$build/wine-prefix}
# Headless, quiet, and without the Mono and Gecko installers.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
mkdir -p "$(dirname "$WINEPREFIX")"
# Two programs started at once must not both make the prefix.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$program" "$@"
