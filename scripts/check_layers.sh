#!/usr/bin/env bash
# Each layer of the core includes only its own files and the layers beneath
# it, so that a layer can be read, tested and reused without the ones above.
# The operating system is the platform layer's alone: no other part of the
# program includes a system header or chooses code by system, so that the
# Windows and the Linux build differ in one folder.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)
core=$src/core
layers=(platform common product settings img install check editor)
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  layer=${layers[$i]}
  [ -d "$core/$layer" ] || continue
  for ((j = i + 1; j < ${#layers[@]}; j++)); do
    above=${layers[$j]}
    if grep -rnE "#include \"(\.\./|core/)$above/" "$core/$layer"; then
      echo "$layer must not include $above" >&2
      status=1
    fi
  done
done

# System headers: Windows', POSIX's and the C library's descriptor calls.
# The tests are exempt: they build the odd files, locks and limits that the
# program must meet.
os_headers='#include <(windows\.h|winbase\.h|shellapi\.h|shlobj\.h|io\.h|unistd\.h|fcntl\.h|pwd\.h|dirent\.h|sys/[^>]*)>'
if grep -rnE "$os_headers" "$src" --include='*.cpp' --include='*.hpp' --exclude-dir=platform; then
  echo "system headers belong in src/core/platform" >&2
  status=1
fi

# The layers that were freed of system choices stay free of them.
for layer in common product img install check; do
  [ -d "$core/$layer" ] || continue
  if grep -rnE "^#\s*if(def|ndef)?\b.*_WIN32" "$core/$layer"; then
    echo "$layer must leave the choice of system to platform" >&2
    status=1
  fi
done
# The window sits on top of the GUI: its commands, dialogs and panels get a
# CommandContext (src/gui/context) and never reach back into mainwindow/.
# Only the program's main() makes the window.
if grep -rnE '#include "mainwindow/' "$src/gui" --include='*.cpp' --include='*.hpp' \
    | grep -vE "^$src/gui/(mainwindow/|main\.cpp:)"; then
  echo "only src/gui/mainwindow and main.cpp include mainwindow/" >&2
  status=1
fi
exit $status
