#!/usr/bin/env bash
# Fails when a shipped program holds code of the test-only oracles.
# Usage: check-shipped-symbols.sh ORACLE_ARCHIVE PROGRAM...
set -euo pipefail
archive=$1
shift
# The oracles' own functions: strong text symbols in karsidan's namespace
# (templates of the standard library are shared by everyone and say nothing).
mapfile -t oracle < <(nm -C --defined-only "$archive" 2>/dev/null | awk '$2 == "T" { $1 = ""; $2 = ""; sub(/^  /, ""); print }' |
  grep '^karsidan::' | sort -u)
if [ ${#oracle[@]} -lt 10 ]; then
  echo "only ${#oracle[@]} oracle functions found in $archive: the check would see nothing" >&2
  exit 1
fi
found=0
for program in "$@"; do
  hits=$(nm -C --defined-only "$program" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | sort -u |
    comm -12 - <(printf '%s\n' "${oracle[@]}"))
  if [ -n "$hits" ]; then
    echo "$program holds test-only code:"
    echo "$hits" | head -20
    found=1
  fi
done
exit $found
