# Whole series as a new player meets them. Against the computer: Escape on the
# character grid goes back to the opening screen; then a character (moving
# over the locked avatar) and a stage (stepping stages and levels, only
# playable ones), the versus presentation, the ready-go count, points with
# their announcements, the results and the rematch screen; a change of stage
# and another match; a change of character whose stage screen is left with
# Escape, which ends the series. Then two people, each choosing, and two
# computers that play with no key pressed. Every screen is kept under
# build/screenshots/series/.
source "$(dirname "$0")/harness.sh"
E2E_SHOTS=$E2E_SHOTS/series
mkdir -p "$E2E_SHOTS"
E2E_LOG=$E2E_SHOTS/$E2E_NAME

POINT_SHOT_EVERY=0.25 # s between screenshots while points are played
MATCH_END_TIMEOUT=90  # s for a match lost without a return to end
STILL_TIME=2.5        # s a picture must hold still to be the rematch screen

# From the opening screen: Play, Versus, then the versus menu's row ROW
# (0 against the computer, 1 two people, 2 two computers).
open_versus_row() {
  local i
  send_key Return; sleep 0.4
  send_key Return; sleep 0.4
  for ((i = 0; i < $1; i++)); do send_key Down; sleep 0.2; done
  send_key Return
}

# Screenshots NAME-1, NAME-2 ... every POINT_SHOT_EVERY for SECONDS.
burst() {
  local name=$1 seconds=$2 i=0 end=$((SECONDS + $2))
  while [ $SECONDS -lt $end ]; do
    i=$((i + 1))
    import -window root "$E2E_SHOTS/$E2E_NAME-$name-$i.png" 2>/dev/null
    sleep $POINT_SHOT_EVERY
  done
  note "$name: $i screenshots ($E2E_SHOTS/$E2E_NAME-$name-*.png)"
}

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_opening 0 0

# Escape on the grid: back to the opening screen.
open_versus_row 0
wait_for_settled grid-then-escape
send_key Escape
wait_for_opening 0 0 back-from-grid

# Against the computer: Right from Uayumin passes the locked Arturito.
open_versus_row 0
wait_for_settled grid
send_key Right; sleep 0.4
screenshot grid-past-the-locked-avatar >/dev/null
send_key Return
wait_for_settled stage
send_key Right; sleep 0.6
screenshot stage-next >/dev/null
send_key Down; sleep 0.6
screenshot stage-harder >/dev/null
send_key Up; sleep 0.6
send_key Return
sleep 2
burst versus-and-ready 5
# Player one parks its paddle at the top: the computer scores, each point
# announced, until it has won; then the results and the rematch screen.
xdotool keydown Up; sleep 1.2; xdotool keyup Up
burst points 25
# The rematch screen is the first picture that holds still for longer than
# the results stay (1.8 s): a match always moves.
deadline=$((SECONDS + MATCH_END_TIMEOUT))
still=""
until [ $SECONDS -ge $deadline ]; do
  screenshot waiting-for-rematch >/dev/null
  cp "$E2E_SHOT" "$E2E_LOG.before-still.png"
  sleep $STILL_TIME
  screenshot rematch-after-match >/dev/null
  [ "$(region_difference "$E2E_LOG.before-still.png" 0 0 "$E2E_SHOT" 0 0 800 600)" -lt 200 ] && { still=yes; break; }
done
[ -n "$still" ] || fail "no rematch screen after the match"
note "rematch screen after the match: $E2E_SHOT"
# Change stage (two rows below Rematch), then the first stage offered.
send_key Down; sleep 0.2
send_key Down; sleep 0.2
send_key Return
wait_for_settled change-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 second-match
# A change of character whose stage screen is left with Escape ends the series.
open_rematch_screen rematch-in-match
sleep "$RESULTS_TIME"
send_key Down; sleep 0.2
send_key Down; sleep 0.2
send_key Return
wait_for_settled change-character
send_key Return
wait_for_settled change-character-stage
send_key Escape
wait_for_opening 0 0 series-ended

# Two people: each confirms a character (player two with the keypad's Enter).
open_versus_row 1
wait_for_settled two-players-grid
send_key Return; sleep 0.3
send_key KP_Enter
wait_for_settled two-players-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 two-players-match
open_rematch_screen two-players-rematch
sleep "$RESULTS_TIME"
send_key Up; sleep 0.2
send_key Return
wait_for_opening 0 0 after-two-players

# Two computers: no key from the grid on; after the stage, they play alone.
open_versus_row 2
sleep 2.5
screenshot two-computers-grid >/dev/null
wait_for_settled two-computers-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
burst two-computers-playing 8
quit_from_match 0 0
expect_exit 0
