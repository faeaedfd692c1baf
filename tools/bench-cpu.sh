#!/usr/bin/env bash
# bench-cpu.sh WINDOWED_PROGRAM [SECONDS]
# The real game's processor use while two computers play a match on a virtual
# display, with vertical sync on (the profile's default) and then switched off
# in the options: the share of one core its process used over SECONDS s of
# play (user and system time from /proc) and the frames it drew per second of
# play (the game's own report). Prints
#   cpu: sync on: F fps, P % of one core
#   cpu: sync off: F fps, P % of one core
set -u
game=$(realpath "$1") seconds=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
shots=$root/build/screenshots/bench
# The end-to-end harness drives the game: bench_cpu is its name in the logs.
set -- "$game" "" "$shots"
# shellcheck source=../tests/e2e/harness.sh
source "$root/tests/e2e/harness.sh"
E2E_NAME=bench_cpu E2E_LOG=$shots/bench_cpu
TICKS=$(getconf CLK_TCK)
SYNC_RIGHT_X=425 SYNC_Y=512 # px: the options screen's » arrow of the vertical sync

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$E2E_GAME_PID/stat"; }

# From the opening screen: a match between computers, measured, then the game ended.
measure_match() {
  local label=$1 lines before after start end fps
  open_versus_row 2
  wait_for_settled stage
  send_key Return
  sleep "$MATCH_INTRO_TIME"
  wait_for_match 0 0 "bench-cpu-$label"
  lines=$(wc -l <"$E2E_LOG.stderr")
  before=$(cpu_ticks) start=$(date +%s%N)
  sleep "$seconds"
  after=$(cpu_ticks) end=$(date +%s%N)
  fps=$(tail -n +"$((lines + 1))" "$E2E_LOG.stderr" |
    awk '/frames in/ { f += $2; t += $5 } END { if (t > 0) printf "%.0f", f / t }')
  [ -n "$fps" ] || fail "the game reported no frames"
  awk -v a="$after" -v b="$before" -v s="$start" -v e="$end" -v hz="$TICKS" -v fps="$fps" -v l="$label" \
    'BEGIN { printf "cpu: %s: %s fps, %.1f %% of one core\n", l, fps, 100 * (a - b) / hz / ((e - s) / 1e9) }'
  kill -TERM "$E2E_GAME_PID"
  expect_exit 143 10 >/dev/null
}

start_display
export TARVELIX_FRAME_REPORT=1
start_game "$game"
find_game_window
wait_for_opening 0 0
measure_match "sync on"

start_game "$game"
find_game_window
wait_for_opening 0 0
send_key Down; sleep 0.2
send_key Return # Options
wait_for_settled options
click_at $SYNC_RIGHT_X $SYNC_Y
sleep 0.3
send_key Escape
wait_for_opening 0 0 after-options
send_key Up # the opening screen comes back on Options: up to Play
sleep 0.2
measure_match "sync off"
