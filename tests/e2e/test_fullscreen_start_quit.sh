# The full-screen build starts at 800 by 600 (centred on the larger virtual
# screen) on its opening screen, goes into a match against the computer and
# leaves through the rematch screen, the opening screen and the closing picture
# with exit status 0.
source "$(dirname "$0")/harness.sh"
start_display
start_game "$E2E_FULLSCREEN"
E2E_OX=112 E2E_OY=84 # the game's picture is centred on the larger virtual screen
find_game_window
wait_for_picture running 512 384
wait_for_opening 112 84
choose_match_against_computer
wait_for_match 112 84
quit_from_match 112 84
expect_exit 0
