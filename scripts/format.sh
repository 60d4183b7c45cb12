#!/usr/bin/env bash
# Applies .clang-format to every C++ file git tracks under src/, tests/,
# bench/ and fuzz/ (or to the files named). Prints what it changed.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "format.sh: clang-format is not installed (apt-get install clang-format)" >&2
  exit 1
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- src tests bench fuzz | grep -E '\.(cpp|hpp|h|cc)$')
fi
"$format" -i --style=file "${files[@]}"
git diff --stat -- "${files[@]}" || true
