#!/usr/bin/env bash
# Each layer of the core includes only its own files and the layers beneath
# it, so that a layer can be read, tested and reused without the ones above.
set -euo pipefail
core=$(cd "$(dirname "$0")/../src/core" && pwd)
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
exit $status
