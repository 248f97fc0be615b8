#!/usr/bin/env bash
# Times `karsidan-cli encrypt --raw` on a file of random bytes, to /dev/null
# and to a file, and `decrypt --raw` of its cipher text back, end to end as
# a user runs them. Prints the median wall time of RUNS runs, the rate in
# plain-text bytes (GB = 10^9), the largest peak memory, and the load.
#
#   bench/cli/cli_stream_bench.sh [CLI] [MIB] [RUNS]
#
# CLI defaults to build/cli/karsidan-cli, MIB to 64, RUNS to 9. Other builds
# on the machine move the figures: before each run the script waits up to
# QUIET_WAIT seconds (default 60) for a second in which the cores are 90 %
# idle, and counts the runs that found none.
set -euo pipefail
cd "$(dirname "$0")/../.."
cli=${1:-build/cli/karsidan-cli}
mib=${2:-64}
runs=${3:-9}
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((mib << 20)) /dev/urandom > "$work/text.bin"
keys=(-1 kunci1 -2 kunci2 -3 kunci4)
"$cli" encrypt --raw "${keys[@]}" "$work/text.bin" > "$work/cipher.hex"
"$cli" decrypt --raw "${keys[@]}" "$work/cipher.hex" | cmp -s - "$work/text.bin" \
    || { echo "decrypt did not give the text back" >&2; exit 1; }

# Idle share of all cores over one second, in percent.
idle_percent() {
    local a b
    read -ra a < <(head -1 /proc/stat)
    sleep 1
    read -ra b < <(head -1 /proc/stat)
    local idle=$(((b[4] + b[5]) - (a[4] + a[5]))) total=0
    for i in 1 2 3 4 5 6 7 8; do total=$((total + b[i] - a[i])); done
    echo $((100 * idle / (total > 0 ? total : 1)))
}

busy_runs=0
wait_for_quiet() {
    local until=$((SECONDS + ${QUIET_WAIT:-60}))
    while (($(idle_percent) < 90)); do
        if ((SECONDS >= until)); then
            busy_runs=$((busy_runs + 1))
            return
        fi
    done
}

# One case: NAME INPUT OUTPUT COMMAND...; the output file is removed before
# each run, so every run writes a new file as a user's would.
measure() {
    local name=$1 input=$2 output=$3
    shift 3
    local times=() peak=0
    for ((i = 0; i < runs; i++)); do
        [ "$output" = /dev/null ] || rm -f "$output"
        wait_for_quiet
        local start end kb
        start=${EPOCHREALTIME/./}
        /usr/bin/time -f %M -o "$work/mem" "$cli" "$@" "${keys[@]}" "$input" > "$output"
        end=${EPOCHREALTIME/./}
        times+=($((end - start)))
        kb=$(tail -1 "$work/mem")
        ((kb > peak)) && peak=$kb
    done
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p")
    local min max
    min=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
    max=$(printf '%s\n' "${times[@]}" | sort -n | tail -1)
    awk -v n="$name" -v med="$median" -v lo="$min" -v hi="$max" -v kb="$peak" -v bytes=$((mib << 20)) \
        'BEGIN { printf "%-34s median %7.1f ms (%.1f - %.1f)  %5.2f GB/s  peak %6.1f MB\n",
                 n, med / 1000, lo / 1000, hi / 1000, bytes / (med * 1000), kb * 1024 / 1e6 }'
}

echo "karsidan-cli, $mib MiB, median of $runs runs; $(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "load before: $(uptime | sed 's/.*load average: //')"
measure "encrypt --raw to /dev/null" "$work/text.bin" /dev/null encrypt --raw
measure "encrypt --raw to a file" "$work/text.bin" "$work/out.hex" encrypt --raw
measure "decrypt --raw to /dev/null" "$work/cipher.hex" /dev/null decrypt --raw
measure "decrypt --raw to a file" "$work/cipher.hex" "$work/out.bin" decrypt --raw
echo "load after:  $(uptime | sed 's/.*load average: //'); runs that found no quiet second: $busy_runs"
