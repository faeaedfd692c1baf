# A character whose pictures cannot be loaded (an empty data/tx16.dat): the
# game opens its window, fails when the match loads the first side's character,
# shows the loader's message in a message box, and after OK exits with status
# 255 through its shutdown sequence (a side that failed to load used to be
# released as if it had been made whole, and the game died of a segmentation
# fault, status 139).
source "$(dirname "$0")/harness.sh"
start_display
copy_game
: >"$GAME_DIR/data/tx16.dat"

start_game "$GAME_DIR/tarvelix_windowed"
find_game_window
expect_window_size 800x600
note "the game opened its window"
wait_for_opening 0 0
choose_match_against_computer
dismiss_message_box character-load-failure
expect_exit 255
expect_stderr "Error al cargar CAMANEY_NORMAL desde data/tx16.dat"
