#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it.
# Usage: check-format.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a git checkout: nothing to compare" >&2
  exit 77
fi
# One clang-format for everyone: Debian 12's, version 14.
version=$(clang-format --version | grep -o 'version [0-9]*' | grep -o '[0-9]*')
if [ "$version" != 14 ]; then
  echo "clang-format $version here; the format is clang-format 14's" >&2
  exit 77
fi
drift=0
while IFS= read -r -d '' f; do
  if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "differs from .clang-format: $f (run: clang-format -i $f)"
    drift=1
  fi
done < <(git ls-files -z -- '*.cpp' '*.h')
exit $drift
