#!/usr/bin/env bash
# The machine-independent figure of the match frame: callgrind counts the
# instructions of 600 frames of the benchmark's average case (level 12,
# scripted keys, the same random seed every run), only inside the frames, and
# prints them per frame.
set -euo pipefail
bench=${1:?usage: bench-callgrind.sh BENCH_PROGRAM}
FRAMES=600
out=$(mktemp)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='*bench_frames*' \
    "$bench" --frames "$FRAMES" 2>/dev/null
total=$(awk '/^(summary|totals):/ { print $2; exit }' "$out")
[ -n "$total" ] || { echo "bench-callgrind: no count in callgrind's output" >&2; exit 1; }
echo "callgrind: $((total / FRAMES)) instructions per frame ($FRAMES frames of the average case)"
