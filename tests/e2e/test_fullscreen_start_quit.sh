# The full-screen build starts at 800 by 600 (centred on the larger virtual
# screen) and Escape ends it with exit status 0.
source "$(dirname "$0")/harness.sh"
start_display
start_game "$E2E_FULLSCREEN"
find_game_window
wait_for_picture running 512 384
send_key Escape
expect_exit 0
