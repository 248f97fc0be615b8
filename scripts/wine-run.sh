#!/usr/bin/env bash
# Runs a Windows program under Wine without a display: no X, no debug
# chatter, and a prefix of the build's own, so that a test run never
# touches ~/.wine.
#   wine-run.sh PREFIX PROGRAM [ARGUMENT]...
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Wine reads arguments, names and the environment in the locale's
# encoding: UTF-8, whatever the caller's locale (CI may have none).
export LC_ALL=C.UTF-8
# The first run makes the prefix (about 10 s); tests started in parallel
# wait for it instead of making it twice.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init >/dev/null 2>&1 || true
      wineserver --wait
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
