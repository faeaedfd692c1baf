# The windowed build opens an 800 by 600 window and goes into a match; Escape
# closes it through the normal shutdown with exit status 0.
source "$(dirname "$0")/harness.sh"
start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
[ "$(xdotool getwindowname "$E2E_WID")" = "Tarvelix" ] || fail "window title is not Tarvelix"
wait_for_picture running 400 300
wait_for_match 0 0
send_key Escape 0.3
expect_exit 0
