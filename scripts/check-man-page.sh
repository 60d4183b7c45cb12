#!/usr/bin/env bash
# The man page of velmor-cli names every sub-command the program has and
# every option of each:  scripts/check-man-page.sh VELMOR-CLI MAN-PAGE
set -euo pipefail
cli=$1
page=$2
text=$(sed 's/\\-/-/g; s/\\f[BIR]//g' "$page")
failed=0
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && NF {print $1}')
[ -n "$commands" ] || { echo "no sub-commands in the help of $cli"; exit 1; }
for command in $commands; do
  if ! grep -q "^\.SS $command\b" <<<"$text"; then
    echo "the man page has no section for '$command'"
    failed=1
    continue
  fi
  for option in $("$cli" "$command" --help | grep -oE '(^|[ ,])--[a-z0-9-]+' | tr -d ' ,' | sort -u); do
    [ "$option" = "--help" ] && continue
    grep -q -- "$option" <<<"$text" || { echo "the man page does not mention '$command $option'"; failed=1; }
  done
done
exit $failed
