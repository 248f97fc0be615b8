#!/usr/bin/env bash
# The generator's avx2 command as a user runs it: the committed rounds come
# out of the committed circuits, and bad arguments or a damaged circuit
# file end with a message and a failing exit code, never with a file.
#   check-sbox-gen-avx2.sh GENERATOR SOURCE_DIR WORK_DIR
set -uo pipefail

gen=$1
src=$2
work=$3
circuits=$src/cipher/bitslice/SboxCircuits.inc
mkdir -p "$work"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect CODE MESSAGE ARGS...: exit code CODE, MESSAGE on stderr, nothing on stdout.
expect() {
  local code=$1 message=$2
  shift 2
  "$gen" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$code" ] || fail "$* exited $got, expected $code"
  grep -q -- "$message" "$work/err" || { fail "$* did not say '$message':"; cat "$work/err"; }
  [ ! -s "$work/out" ] || fail "$* printed to stdout although it failed"
}

"$gen" avx2 "$circuits" >"$work/rounds.inc" 2>"$work/err" || fail "avx2 on the committed circuits failed: $(cat "$work/err")"
cmp -s "$work/rounds.inc" "$src/cipher/bitslice/Avx2Rounds.inc" ||
  fail "the committed Avx2Rounds.inc is not what the generator prints"
"$gen" avx2 "$circuits" 3 16 4 12345678 >"$work/other.inc" 2>"$work/err" || fail "avx2 with a schedule failed"
grep -q "karsidan_sbox_gen avx2 cipher/bitslice/SboxCircuits.inc 3 16 4 12345678" "$work/other.inc" ||
  fail "the printed rounds do not name the command that made them"

if [ -w /dev/full ]; then
  "$gen" avx2 "$circuits" >/dev/full 2>"$work/err"
  code=$?
  [ "$code" -eq 1 ] || fail "writing to a full device exited $code, expected 1"
  grep -q "cannot write the rounds" "$work/err" || fail "a failed write was not reported: $(cat "$work/err")"
fi
expect 2 "usage" avx2
expect 2 "usage" improve "$circuits"
expect 1 "cannot read correct circuits" avx2 "$work/no-such-file.inc"
# One binary gate changed: the file reads, but its circuit is wrong.
sed '0,/= Ops::And(/s//= Ops::Or(/' "$circuits" >"$work/damaged.inc"
cmp -s "$work/damaged.inc" "$circuits" && fail "could not damage the circuit file"
expect 1 "cannot read correct circuits" avx2 "$work/damaged.inc"
expect 2 "usage" avx2 "$circuits" 2 14 3
expect 2 "usage" avx2 "$circuits" 2 14 3 1234567
expect 2 "usage" avx2 "$circuits" 2 14 3 11234567
expect 2 "usage" avx2 "$circuits" 2 14 3 02345678
expect 2 "SPAN is 1 to 8" avx2 "$circuits" 0 14 3 12345678
expect 2 "SPAN is 1 to 8" avx2 "$circuits" 9 14 3 12345678
expect 2 "WIDTH at least 1" avx2 "$circuits" 2 14 0 12345678

[ "$failures" -eq 0 ] && echo "OK" || exit 1
