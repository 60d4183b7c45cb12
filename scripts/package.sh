#!/usr/bin/env bash
# Builds the Debian package of Velmor (the desktop program and velmor-cli)
# into build-package/: a Release build installed under /usr, packed by
# `cpack -G DEB`. Installs what it needs first. Prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The build's own packages come from setup.sh; packing needs dpkg-shlibdeps
# (dpkg-dev) and file, checking needs lintian.
"$root/scripts/setup.sh"
"$root/scripts/install-packages.sh" dpkg-dev file lintian

"$root/scripts/build.sh" build-package -DCMAKE_BUILD_TYPE=Release -DVELMOR_TESTS=OFF -DVELMOR_GUI=ON \
  -DCMAKE_INSTALL_PREFIX=/usr
rm -rf "$root/build-package/package"
(cd "$root/build-package" && cpack -G DEB >/dev/null)
package=$(ls "$root"/build-package/package/velmor_*.deb)
cp "$package" "$root/build-package/"
echo "$root/build-package/$(basename "$package")"
