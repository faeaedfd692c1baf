# A player rebinds a key and plays with it: Options, then Controls (a click),
# then player one's UP clicked and the key I pressed; the screen shows "I" in
# its place, and I is player one's up on the menus too. Back on the opening
# screen, a match against the computer on the snow stage: holding I moves
# player one's paddle up, and F1 shows the help page until a key. Escape
# leaves the series and the program ends with exit status 0.
source "$(dirname "$0")/harness.sh"

CONTROLS_X=220 BUTTON_ROW_Y=380   # px: CONTROLS in the options screen's row of buttons
UP_BINDING_X=230 UP_BINDING_Y=205 # px: player one's UP binding on the controls screen

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_opening 0 0

send_key Down; sleep 0.3
send_key Return
wait_for_settled options
click_at $CONTROLS_X $BUTTON_ROW_Y
wait_for_settled controls
controls=$E2E_LOG.controls.png
cp "$E2E_SHOT" "$controls"

click_at $UP_BINDING_X $UP_BINDING_Y
sleep 0.5
screenshot press-a-key >/dev/null
send_key i
sleep 0.5
screenshot rebound >/dev/null
[ "$(region_difference "$controls" 130 190 "$E2E_SHOT" 130 190 200 30)" -gt 50 ] ||
  fail "player one's UP binding did not change ($E2E_SHOT)"
note "player one's UP is now I: $E2E_SHOT"

send_key Escape
wait_for_settled options-again
send_key Escape
wait_for_opening 0 0 opening-again
E2E_UP_KEY=i
send_key $E2E_UP_KEY # player one's new up: from Options back to Play
sleep 0.3
choose_match_against_computer Left Left # Camaney, on the snow stage
wait_for_match 0 0 start
one=$(band_top $PADDLE_ONE_X)
[ -n "$one" ] || fail "no paddle found in player one's lane"
ride up -1 0.25 i

# F1 in the match shows the help page over it; a key gives the match back.
wait_for_ball
match=$E2E_LOG.match.png
cp "$E2E_SHOT" "$match"
send_key F1
wait_for_settled match-help
[ "$(region_difference "$match" 0 0 "$E2E_SHOT" 0 0 800 600)" -gt 100000 ] ||
  fail "F1 did not show the help page in the match ($E2E_SHOT)"
send_key space
wait_for_match 0 0 after-help
quit_from_match 0 0
expect_exit 0
