# The windowed build opens an 800 by 600 window on the opening screen and goes
# into a match against the computer; leaving through the rematch screen, the
# opening screen and the closing picture ends it with exit status 0.
source "$(dirname "$0")/harness.sh"
start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
[ "$(xdotool getwindowname "$E2E_WID")" = "Tarvelix" ] || fail "window title is not Tarvelix"
wait_for_picture running 400 300
wait_for_opening 0 0
choose_match_against_computer
wait_for_match 0 0
quit_from_match 0 0
expect_exit 0
