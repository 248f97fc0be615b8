#!/usr/bin/env bash
# The command line as a user runs it, side by side in the same run:
#  1. 64 MiB of UTF-8 text (lines of about 70 characters, a few accented
#     letters and euro signs) through `encrypt` in text mode against
#     `encrypt --raw` of the same file, and `decrypt` with UTF-8 output
#     against `decrypt --raw`; medians of RUNS runs, interleaved, with the
#     largest peak memory;
#  2. a 1 KiB text end to end, `karsidan-cli encrypt` against
#     `openssl enc -des-ede3`, interleaved, median of 15.
#
#   bench/cli/cli_text_bench.sh [CLI] [MIB] [RUNS]
#
# CLI defaults to build/cli/karsidan-cli, MIB to 64, RUNS to 9.
set -euo pipefail
cd "$(dirname "$0")/../.."
cli=${1:-build/cli/karsidan-cli}
mib=${2:-64}
runs=${3:-9}
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }
command -v openssl >/dev/null || { echo "needs openssl" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keys=(-1 kunci1 -2 kunci2 -3 kunci4)

# A text of words, mostly ASCII, LF line breaks.
python3 - "$work/text.txt" "$mib" <<'PY'
import random, sys
random.seed(12)
words = ["kata", "rahasia", "pesan", "jam", "sepuluh", "kafe", "caf\u00e9", "\u20ac5", "pertemuan",
         "di", "dan", "yang", "untuk", "na\u00efve", "baris", "kedua", "KARSIDAN", "2026,", "itu."]
target = int(sys.argv[2]) << 20
out, size, line = [], 0, []
while size < target:
    w = random.choice(words)
    line.append(w)
    if sum(len(x) + 1 for x in line) > 70:
        s = " ".join(line) + "\n"
        out.append(s)
        size += len(s.encode())
        line = []
data = "".join(out).encode()[:target]
data = data[:data.rindex(b"\n") + 1]  # whole lines: outer spaces are not encrypted
open(sys.argv[1], "wb").write(data)
PY
"$cli" encrypt "${keys[@]}" "$work/text.txt" > "$work/text.hex"
"$cli" decrypt "${keys[@]}" "$work/text.hex" | cmp -s - "$work/text.txt" \
    || { echo "decrypt did not give the text back" >&2; exit 1; }
"$cli" decrypt --raw "${keys[@]}" "$work/text.hex" > "$work/text.1252"
"$cli" encrypt --raw "${keys[@]}" "$work/text.1252" | cmp -s - "$work/text.hex" \
    || { echo "text mode and --raw disagree" >&2; exit 1; }

# One run: prints microseconds and peak kB.
run_once() {
    local start end
    start=${EPOCHREALTIME/./}
    /usr/bin/time -f %M -o "$work/mem" "$@" > /dev/null
    end=${EPOCHREALTIME/./}
    echo "$((end - start)) $(tail -1 "$work/mem")"
}

median() { sort -n | sed -n "$(( ($1 + 1) / 2 ))p"; }

# NAME_A CMD_A... -- NAME_B CMD_B...: interleaved, RUNS each.
compare() {
    local nameA=$1; shift
    local a=() b=()
    while [ "$1" != "--" ]; do a+=("$1"); shift; done
    shift
    local nameB=$1; shift
    b=("$@")
    local ta=() tb=() pa=0 pb=0 t m
    for ((i = 0; i < runs; i++)); do
        read -r t m < <(run_once "${a[@]}"); ta+=("$t"); ((m > pa)) && pa=$m
        read -r t m < <(run_once "${b[@]}"); tb+=("$t"); ((m > pb)) && pb=$m
    done
    local ma mb
    ma=$(printf '%s\n' "${ta[@]}" | median "$runs")
    mb=$(printf '%s\n' "${tb[@]}" | median "$runs")
    awk -v na="$nameA" -v nb="$nameB" -v ma="$ma" -v mb="$mb" -v pa="$pa" -v pb="$pb" 'BEGIN {
        printf "  %-30s median %8.1f ms  peak %6.1f MB\n", na, ma / 1000, pa * 1024 / 1e6
        printf "  %-30s median %8.1f ms  peak %6.1f MB\n", nb, mb / 1000, pb * 1024 / 1e6
        printf "  ratio %.2f\n", ma / mb }'
}

echo "karsidan-cli, $(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "load before: $(uptime | sed 's/.*load average: //')"
echo "$mib MiB UTF-8 text, $runs runs each, interleaved:"
compare "encrypt (text mode)" "$cli" encrypt "${keys[@]}" "$work/text.txt" -- \
        "encrypt --raw" "$cli" encrypt --raw "${keys[@]}" "$work/text.1252"
compare "decrypt (UTF-8 out)" "$cli" decrypt "${keys[@]}" "$work/text.hex" -- \
        "decrypt --raw" "$cli" decrypt --raw "${keys[@]}" "$work/text.hex"

# 1 KiB, as a script that encrypts many small texts pays it.
head -c 1024 "$work/text.txt" > "$work/small.txt"
hexkey=$(printf 'kunci1\xb7\xb7kunci2\xb7\xb7kunci4\xb7\xb7' | od -An -tx1 | tr -d ' \n')
small=15
runs_saved=$runs
runs=$small
echo "1 KiB text end to end, median of $small, interleaved:"
compare "karsidan-cli encrypt" "$cli" encrypt "${keys[@]}" "$work/small.txt" -- \
        "openssl enc -des-ede3" openssl enc -des-ede3 -K "$hexkey" -in "$work/small.txt"
runs=$runs_saved
echo "load after:  $(uptime | sed 's/.*load average: //')"
