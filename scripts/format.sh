#!/usr/bin/env bash
# Applies .clang-format to every C++ file git tracks under src/, tests/,
# bench/ and fuzz/ (or to the files named). Prints what it changed.
#   scripts/format.sh --check   changes nothing; fails naming each file that
#                               is not formatted (a test runs this)
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "format.sh: clang-format is not installed (apt-get install clang-format)" >&2
  exit 1
fi
check=0
if [ "${1:-}" = --check ]; then
  check=1
  shift
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- src tests bench fuzz | grep -E '\.(cpp|hpp|h|cc)$')
fi
if [ "$check" = 1 ]; then
  exec "$format" --dry-run -Werror --style=file "${files[@]}"
fi
"$format" -i --style=file "${files[@]}"
git diff --stat -- "${files[@]}" || true
