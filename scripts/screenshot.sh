#!/usr/bin/env bash
# Takes a screenshot of the running window under Xvfb.
# Usage: scripts/screenshot.sh OUT.png [DELAY_SECONDS] [-- program arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:?output png}")
delay=${2:-4}
shift $(( $# >= 2 ? 2 : 1 ))
[ "${1:-}" = "--" ] && shift
command -v xvfb-run >/dev/null && command -v import >/dev/null || {
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq xvfb xauth imagemagick >/dev/null
}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  ./build/app/karsidan "$@" & pid=$!
  sleep '"$delay"'
  import -window root "'"$out"'"
  kill $pid 2>/dev/null || true
' _ "$@"
echo "$out"
