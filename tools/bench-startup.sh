#!/usr/bin/env bash
# Start-up time of the real game: from the moment it is started to the
# intro's first frame, without the fixed second of the opening music fade
# that precedes it. Runs the program RUNS times on a virtual display of its
# own, each run ended with SIGTERM once its report is in, and prints
#   startup: median U ms (RUNS runs; fastest F ms, slowest S ms)
set -euo pipefail
game=$(realpath "${1:?usage: bench-startup.sh GAME_PROGRAM}")
RUNS=${STARTUP_RUNS:-11}
REPORT_TIMEOUT=10 # s a run may take to report
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
# The end-to-end harness starts the virtual display on a free number.
set -- "$game" "" "$work"
# shellcheck source=../tests/e2e/harness.sh
source "$root/tests/e2e/harness.sh"
E2E_NAME=bench_startup E2E_LOG=$work/bench_startup
trap 'e2e_cleanup; rm -rf "$work"' EXIT
start_display

times=()
for run in $(seq "$RUNS"); do
    start=$(date +%s%N)
    TARVELIX_STARTUP_REPORT=1 "$game" 2>"$work/err" >/dev/null &
    pid=$!
    line=""
    for _ in $(seq $((REPORT_TIMEOUT * 20))); do
        line=$(grep -m1 "intro's first frame" "$work/err" || true)
        [ -n "$line" ] && break
        sleep 0.05
    done
    kill -TERM $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    [ -n "$line" ] || { echo "bench-startup: run $run gave no report" >&2; cat "$work/err" >&2; exit 1; }
    read -r at fade <<<"$(sed -E 's/.* at ([0-9]+) ns, after a music fade of ([0-9.]+) ms/\1 \2/' <<<"$line")"
    times+=("$(awk -v a="$at" -v s="$start" -v f="$fade" 'BEGIN { printf "%.1f", (a - s) / 1e6 - f }')")
done
printf '%s\n' "${times[@]}" | sort -n | awk -v n="$RUNS" '{ t[NR] = $1 }
    END { printf "startup: median %.1f ms (%d runs; fastest %.1f ms, slowest %.1f ms)\n", t[int((n + 1) / 2)], n, t[1], t[n] }'
