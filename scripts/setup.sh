#!/usr/bin/env bash
# Installs what Velmor needs to build and test on Debian 12. Quiet and quick
# when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libicu-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  clang libclang-rt-dev
  mkgmap
  wine wine64
  xvfb xauth
  # The window checked from outside as a screen reader reads it: the xcb
  # platform, a session bus with the accessibility bus, Python's AT-SPI.
  libqt6gui6 dbus-daemon at-spi2-core python3 python3-gi gir1.2-atspi-2.0
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"
