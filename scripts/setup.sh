#!/usr/bin/env bash
# Installs what Velmor needs on Debian 12. Quiet and quick when everything
# is already there.
#   scripts/setup.sh        everything the tests need (./test, CI)
#   scripts/setup.sh run    only what building and starting the two programs needs (./run)
set -euo pipefail

# The compilers, Qt and the libraries the programs are built from. ccache
# makes a second build of unchanged files a cache read; the first build
# gains nothing from it.
run_packages=(
  build-essential cmake ninja-build pkg-config ccache
  libicu-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
)

test_packages=(
  zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev clang-format
  mkgmap
  wine wine64
  xvfb xauth
  # The window checked from outside as a screen reader reads it: the xcb
  # platform, a session bus with the accessibility bus, Python's AT-SPI.
  libqt6gui6 dbus-daemon at-spi2-core python3 python3-gi gir1.2-atspi-2.0
)

case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  all) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [run|all]" >&2; exit 2 ;;
esac

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
