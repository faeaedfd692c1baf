# A datafile that cannot be read (wrong password, or not a datafile at all)
# differs from the build's list of the datafiles' sizes and CRCs: start-up
# ends the game with a message naming it in a message box; OK closes it and
# the game exits with status 255 after its shutdown sequence.
source "$(dirname "$0")/harness.sh"
start_display
copy_game

run_case() {
  local name=$1
  start_game "$GAME_DIR/tarvelix_windowed"
  dismiss_message_box "$name"
  expect_exit 255
  expect_stderr "El archivo de datos data/tx05.dat está dañado o incompleto"
}

cp /usr/share/fonts/opentype/league-spartan/LeagueSpartan-SemiBold.otf "$GAME_DIR/FUTURA"
(cd "$GAME_DIR" && rm data/tx05.dat && dat -007 WrongPassword1 -c1 -k -s1 data/tx05.dat -a FUTURA -t DATA >/dev/null) ||
  fail "could not pack a datafile with another password"
run_case wrong-password

head -c 4096 /dev/urandom >"$GAME_DIR/data/tx05.dat"
run_case not-a-datafile
