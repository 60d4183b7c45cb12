#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh made:
#   scripts/check-package.sh [PACKAGE.deb]   (default: build-package/velmor_*.deb)
# that it holds the programs, desktop entry, MIME type, icons and man pages;
# that it depends on Debian's Qt 6 and ICU runtime packages; that lintian
# finds no error in it (warnings are fine); and that the installed programs
# answer --version and keep their data per user, with the release notes.
# Exits 77 (skipped) when there is no package.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
package=${1:-$(ls "$root"/build-package/velmor_*.deb 2>/dev/null | head -n 1 || true)}
if [ -z "$package" ] || [ ! -f "$package" ]; then
  echo "SKIPPED: no package (scripts/package.sh makes it)"
  exit 77
fi
failed=0
fail() { echo "FAIL: $*"; failed=1; }

contents=$(dpkg-deb --contents "$package" | awk '{print $NF}' | sed 's|^\./|/|')
for path in /usr/bin/velmor /usr/bin/velmor-cli \
            /usr/share/applications/velmor.desktop /usr/share/mime/packages/velmor.xml \
            /usr/share/icons/hicolor/scalable/apps/velmor.svg \
            /usr/share/icons/hicolor/16x16/apps/velmor.png /usr/share/icons/hicolor/32x32/apps/velmor.png \
            /usr/share/icons/hicolor/48x48/apps/velmor.png /usr/share/icons/hicolor/64x64/apps/velmor.png \
            /usr/share/icons/hicolor/128x128/apps/velmor.png /usr/share/icons/hicolor/256x256/apps/velmor.png \
            /usr/share/man/man1/velmor.1.gz /usr/share/man/man1/velmor-cli.1.gz \
            /usr/share/velmor/whatsnew.txt /usr/share/doc/velmor/copyright /usr/share/doc/velmor/changelog.gz; do
  grep -qx "$path" <<<"$contents" || fail "$path is not in the package"
done

depends=$(dpkg-deb -f "$package" Depends)
for library in 'libqt6widgets6' 'libqt6network6' 'libicu[0-9]+'; do
  grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$package" "$stage/root"
grep -qx 'Exec=velmor %f' "$stage/root/usr/share/applications/velmor.desktop" || fail "desktop entry does not pass the file"
grep -q 'Categories=Graphics;.*Geography;' "$stage/root/usr/share/applications/velmor.desktop" || fail "desktop categories"
grep -q 'MimeType=application/x-garmin-tdb;' "$stage/root/usr/share/applications/velmor.desktop" || fail "desktop MIME type"
grep -q '<glob pattern="\*.tdb"/>' "$stage/root/usr/share/mime/packages/velmor.xml" || fail "MIME glob"
grep -q '<magic' "$stage/root/usr/share/mime/packages/velmor.xml" && fail "product files are told by name only"

# The installed programs: versions, and data kept per user even by root,
# who could write into the programs' folder.
[ "$("$stage/root/usr/bin/velmor-cli" --version)" = "velmor-cli 2.1" ] || fail "velmor-cli --version"
[ "$("$stage/root/usr/bin/velmor" --version)" = "velmor 2.1" ] || fail "velmor --version"
home="$stage/home"
mkdir -p "$home"
cp "$root/tests/data/north/north.tdb" "$stage/north.tdb"
env -u VELMOR_HOME -u XDG_DATA_HOME HOME="$home" "$stage/root/usr/bin/velmor-cli" edit "$stage/north.tdb" --pid 7 >/dev/null 2>&1 \
  || fail "velmor-cli edit of the installed program"
[ -d "$home/.local/share/velmor/system" ] || fail "velmor-cli kept no data under ~/.local/share/velmor"
env -u VELMOR_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$stage/root/usr/bin/velmor" >/dev/null 2>&1 &
window=$!
for _ in $(seq 100); do
  [ -f "$home/.local/share/velmor/system/whatsnew.txt" ] && break
  sleep 0.2
done
kill "$window" 2>/dev/null || true
wait "$window" 2>/dev/null || true
cmp -s "$home/.local/share/velmor/system/whatsnew.txt" "$root/docs/whatsnew.txt" \
  || fail "the window did not put the release notes into ~/.local/share/velmor/system"
[ -e "$stage/root/usr/bin/system" ] && fail "the installed program wrote into its own folder"

# lintian: errors fail, warnings are shown.
lintian_out=$(lintian --tag-display-limit 0 "$package" 2>&1) || true
echo "$lintian_out"
grep -q '^E: ' <<<"$lintian_out" && fail "lintian reports errors"

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "package $(basename "$package"): contents, dependencies, programs and lintian checked"
