# Two computers play MATCHES matches in a row, each ended on the rematch
# screen and followed by a rematch, with no key pressed during play. The
# game's resident memory (VmRSS) is read on every rematch screen; from the
# one after match BASE_MATCH to the one after the last it may grow by at most
# RSS_MARGIN_KB: what the first match loads once for the whole run is no
# growth. Twenty matches take about 26 minutes.
source "$(dirname "$0")/harness.sh"

MATCHES=20
BASE_MATCH=2
# kB: the memory measured the same after each of matches 2 to 20; a stage
# picture kept by every match (1.4 MB at the display's depth) failed within
# four matches, and 60 kB kept by each fail by the last.
RSS_MARGIN_KB=1024
MATCH_TIMEOUT=300 # s from a match's first free frame to its rematch screen
STILL_TIME=2.5    # s a picture must hold still to be the rematch screen (a point's announcement holds 1 s)

# The game's resident memory, in kB.
resident_kb() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$E2E_GAME_PID/status"; }

# Waits until the match on the screen has ended and its rematch screen shows:
# the first picture that holds still for longer than the results stay.
wait_for_rematch_screen() {
  local deadline=$((SECONDS + MATCH_TIMEOUT))
  until screen_still "rematch-$1" "$STILL_TIME"; do
    kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended during match $1"
    [ $SECONDS -lt $deadline ] || fail "match $1 had no rematch screen within ${MATCH_TIMEOUT}s ($E2E_SHOT)"
  done
}

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_opening 0 0

# Two computers: no key from the grid on. Of the stages a new profile has
# open, the hardest level of the one offered first, two steps down, gives
# the shortest matches between computers (bot matches of its two computers:
# a median of 48 s there, 64 to 124 s on the others).
open_versus_row 2
sleep 2.5
wait_for_settled stage
send_key Down; sleep 0.6
send_key Down; sleep 0.6
screenshot stage-hardest >/dev/null
send_key Return
sleep "$MATCH_INTRO_TIME"

declare -a RSS
for ((n = 1; n <= MATCHES; n++)); do
  start=$SECONDS
  wait_for_rematch_screen $n
  RSS[n]=$(resident_kb)
  note "match $n: $((SECONDS - start)) s to the rematch screen, VmRSS ${RSS[n]} kB"
  [ $n -lt $MATCHES ] || break
  send_key Return # Rematch, where the rematch screen starts
  sleep "$MATCH_INTRO_TIME"
done

growth=$((RSS[MATCHES] - RSS[BASE_MATCH]))
note "VmRSS per match (kB): ${RSS[*]}"
note "growth from match $BASE_MATCH to match $MATCHES: $growth kB (at most $RSS_MARGIN_KB kB)"
[ $growth -le $RSS_MARGIN_KB ] ||
  fail "the game's memory grew by $growth kB between match $BASE_MATCH and match $MATCHES"

quit_from_match 0 0
expect_exit 0
