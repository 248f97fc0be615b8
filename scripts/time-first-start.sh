#!/usr/bin/env bash
# Times `bash scripts/run.sh` from a fresh window build (build-run/ removed)
# until the main window is mapped under Xvfb, then closes it. Prints the
# seconds and the load average. Packages already installed are not
# installed again, so on a fresh machine add the time of
# `bash scripts/install-deps.sh run`.
#   time-first-start.sh [--keep-build]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null || {
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq xvfb xauth x11-utils >/dev/null
}
[ "${1:-}" = "--keep-build" ] || rm -rf build-run
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  start=$EPOCHREALTIME
  KARSIDAN_NO_ASSISTANT=1 bash scripts/run.sh --port 45699 --folder "$1" >"$1/run.log" 2>&1 & pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q "\"KARSIDAN ("; do
    kill -0 $pid 2>/dev/null || { cat "$1/run.log"; echo "run.sh ended without a window"; exit 1; }
    sleep 0.05
  done
  end=$EPOCHREALTIME
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
  awk -v a="$start" -v b="$end" -v load="$(cut -d" " -f1-3 /proc/loadavg)" \
    "BEGIN { printf \"window up after %.1f s (load average %s)\\n\", b - a, load }"
' _ "$folder"
