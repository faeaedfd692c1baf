# A character whose picture cannot be loaded (UAYUMIN's beaten picture taken
# out of data/tx16.dat): the game opens its window, the character grid works,
# the match fails when it loads the first side's character, shows the loader's
# message in a message box, and after OK exits with status 255 through its
# shutdown sequence (a side that failed to load used to be released as if it
# had been made whole, and the game died of a segmentation fault, status 139).
source "$(dirname "$0")/harness.sh"
start_display
copy_game
password=$("$(dirname "$E2E_WINDOWED")/tools/tvx_password") || fail "no datafile password"
dat -007 "$password" -d "$GAME_DIR/data/tx16.dat" UAYUMIN_PIERDE >/dev/null ||
  fail "the picture could not be taken out of tx16.dat"
list_datafiles

start_game "$GAME_DIR/tarvelix_windowed"
find_game_window
expect_window_size 800x600
note "the game opened its window"
wait_for_opening 0 0
choose_match_against_computer
dismiss_message_box character-load-failure
expect_exit 255
expect_stderr "Error al cargar UAYUMIN_PIERDE desde data/tx16.dat"
