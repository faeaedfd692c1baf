# The full-screen build starts at 800 by 600 (centred on the larger virtual
# screen) and goes into a match; Escape ends it with exit status 0.
source "$(dirname "$0")/harness.sh"
start_display
start_game "$E2E_FULLSCREEN"
find_game_window
wait_for_picture running 512 384
wait_for_match 112 84
send_key Escape 0.3
expect_exit 0
