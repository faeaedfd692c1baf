# The opening screen as a new player meets it: Down and Up move the
# selection, the mouse moves it to the caption under the pointer and a click
# chooses; Play, Versus and Player vs Player, both players' characters and a
# stage start a match between two people;
# Escape in the match opens the rematch screen, whose Quit goes back to the
# opening screen; Escape there shows the closing picture, and a key ends the
# program with exit status 0.
source "$(dirname "$0")/harness.sh"

MENU_X=200 MENU_Y=300 MENU_W=400 MENU_H=200 # px: the region the opening menus are drawn in
ROW=48                                     # px between two captions of the opening menus
FIRST_ROW_Y=368                            # px: the middle of a three-caption menu's first row

# How many pixels of the menu region differ between two pictures.
menu_difference() { region_difference "$1" $MENU_X $MENU_Y "$2" $MENU_X $MENU_Y $MENU_W $MENU_H; }

# Takes screenshot NAME and checks that the menu region changed from picture WAS.
expect_menu_change() {
  local was=$1 name=$2 what=$3
  sleep 0.3
  screenshot "$name" >/dev/null
  [ "$(menu_difference "$was" "$E2E_SHOT")" -gt 200 ] || fail "$what did not change the menu ($E2E_SHOT)"
  note "$what: $E2E_SHOT"
}

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_opening 0 0
first=$E2E_SHOT

send_key Down
expect_menu_change "$first" down "Down"
send_key Up
sleep 0.3
screenshot up >/dev/null
note "Up: $E2E_SHOT"

# The pointer on the third caption (Exit) selects it; on the first (Play) a click chooses it.
xdotool mousemove --window "$E2E_WID" 400 $((FIRST_ROW_Y + 2 * ROW))
xdotool mousemove --window "$E2E_WID" 401 $((FIRST_ROW_Y + 2 * ROW))
expect_menu_change "$E2E_SHOT" mouse-on-exit "the pointer on Exit"
xdotool mousemove --window "$E2E_WID" 400 $FIRST_ROW_Y
sleep 0.3
before=$E2E_LOG.before-click.png
screenshot mouse-on-play >/dev/null
cp "$E2E_SHOT" "$before"
xdotool mousedown 1; sleep 0.15; xdotool mouseup 1
expect_menu_change "$before" play-menu "a click on Play"

# Versus (selected on entering), then Player vs Player, one Down below Player
# vs CPU; each player confirms a character (player two with the keypad's
# Enter), the stage screen's first choice is taken.
send_key Return
expect_menu_change "$E2E_SHOT" versus-menu "Return on Versus"
send_key Down
sleep 0.2
send_key Return
wait_for_settled two-players-characters
send_key Return
sleep 0.3
send_key KP_Enter
wait_for_settled two-players-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 two-players
quit_from_match 0 0
expect_exit 0
