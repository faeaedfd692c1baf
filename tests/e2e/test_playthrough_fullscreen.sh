# The full-screen build, a shorter way through: it starts at 800 by 600
# (centred on the larger virtual screen) with the studio's logo, shows the
# opening screen and the help page (F1), goes into a match against the
# computer and leaves through the rematch screen, the opening screen and the
# closing picture with exit status 0, its sound mixed and nothing on its
# error output. One screenshot of each step is kept in
# build/screenshots/playthrough/ (named fullscreen-*).
source "$(dirname "$0")/harness.sh"
playthrough_dirs fullscreen-
AUDIBLE_RMS=300 # of 32767: what the menu music reaches at least

start_display
use_disk_audio
start_game "$E2E_FULLSCREEN"
E2E_OX=112 E2E_OY=84 # the game's picture is centred on the larger virtual screen
find_game_window
wait_for_picture intro 512 384
keep_step intro
wait_for_opening $E2E_OX $E2E_OY
keep_step opening
opening=$E2E_LOG.opening-shown.png
cp "$E2E_SHOT" "$opening"

send_key F1
wait_for_new_screen "$opening" help
keep_step help
send_key space
wait_for_opening $E2E_OX $E2E_OY after-help

choose_match_against_computer
wait_for_match $E2E_OX $E2E_OY
keep_step match
quit_from_match $E2E_OX $E2E_OY
keep_step closing
expect_exit 0
expect_sound_and_no_errors $AUDIBLE_RMS
