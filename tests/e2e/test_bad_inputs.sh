# Bad inputs against the real game. Broken data ends the game with a message
# that says what is wrong and which file, in a message box; OK closes it and
# the game exits with status 255 within a second, through its shutdown
# sequence. Broken or missing sound only silences it: the game plays on.
# Nothing crashes or hangs. The data cases are caught at start-up: the
# datafiles against the build's list of their sizes and CRCs
# (data/datafiles.cksum), before Allegro can read a damaged one silently.
source "$(dirname "$0")/harness.sh"
start_display
copy_game
PRISTINE=$(cd "$(dirname "$0")/../.." && pwd)/data
password=$("$(dirname "$E2E_WINDOWED")/tools/tvx_password") || fail "no datafile password"
ASSETS=$(cd "$(dirname "$0")/../../assets" && pwd)

restore_data() { rm -rf "$GAME_DIR/data"; cp -r "$PRISTINE" "$GAME_DIR/data"; }
# Replaces objects of data/FILE by the files NAME... of WORK (each object named as its file).
replace_objects() {
  local file=$1; shift
  (cd "$WORK" && dat -007 "$password" -c1 -k -s1 "$GAME_DIR/data/$file" -a "$@" -t DATA >/dev/null) ||
    fail "could not repack $file"
}
WORK=$GAME_DIR/work
mkdir -p "$WORK"

# The game BINARY shows MESSAGE in its box; OK ends it with status 255.
expect_fatal() {
  local name=$1 message=$2 binary=${3:-$GAME_DIR/tarvelix_windowed}
  note "case: $name"
  start_game "$binary"
  dismiss_message_box "$name"
  expect_exit 255 1
  expect_stderr "$message"
}

# The game starts and plays on to its opening screen, having reported
# MESSAGE on its error output; SIGTERM then ends it.
expect_plays_on() {
  local name=$1 message=$2
  note "case: $name"
  start_game "$GAME_DIR/tarvelix_windowed"
  find_game_window
  wait_for_opening 0 0 "$name"
  expect_stderr "$message"
  kill -TERM "$E2E_GAME_PID"
  expect_exit 143 5
}

mkdir -p "$GAME_DIR/elsewhere/bin"
cp "$GAME_DIR/tarvelix_windowed" "$GAME_DIR/elsewhere/bin/"
expect_fatal no-data-directory "No se encontró la carpeta de datos del juego (data)." \
  "$GAME_DIR/elsewhere/bin/tarvelix_windowed"

for dat in "$PRISTINE"/tx*.dat; do
  name=${dat##*/}
  rm "$GAME_DIR/data/$name"
  expect_fatal "missing-$name" "Falta el archivo de datos data/$name"
  cp "$dat" "$GAME_DIR/data/$name"
done
rm "$GAME_DIR/data/datafiles.cksum"
expect_fatal missing-list "Falta el archivo de datos data/datafiles.cksum"
restore_data

damaged() { echo "El archivo de datos data/$1 está dañado o incompleto"; }
size=$(stat -c %s "$PRISTINE/tx13.dat")
head -c $((size / 2)) "$PRISTINE/tx13.dat" >"$GAME_DIR/data/tx13.dat"
expect_fatal truncated "$(damaged tx13.dat)"
restore_data
head -c "$(stat -c %s "$PRISTINE/tx15.dat")" /dev/zero >"$GAME_DIR/data/tx15.dat"
expect_fatal zeroed "$(damaged tx15.dat)"
restore_data
head -c "$(stat -c %s "$PRISTINE/tx09.dat")" /dev/urandom >"$GAME_DIR/data/tx09.dat"
expect_fatal random-bytes "$(damaged tx09.dat)"
restore_data
cp /usr/share/fonts/opentype/league-spartan/LeagueSpartan-SemiBold.otf "$WORK/FUTURA"
rm "$GAME_DIR/data/tx05.dat"
(cd "$WORK" && dat -007 WrongPassword1 -c1 -k -s1 "$GAME_DIR/data/tx05.dat" -a FUTURA -t DATA >/dev/null) ||
  fail "could not pack a datafile with another password"
expect_fatal wrong-password "$(damaged tx05.dat)"
restore_data

# A document without a required attribute: the effects' datafile in SONIDOS.
sed 's/<effects archivo="[^"]*"/<effects/' "$ASSETS/tx15/SONIDOS.xml" >"$WORK/SONIDOS"
grep -q '<effects num_sounds' "$WORK/SONIDOS" || fail "SONIDOS did not lose its attribute"
replace_objects tx15.dat SONIDOS
list_datafiles
expect_fatal missing-attribute "Falta el atributo archivo en el documento SONIDOS (data/tx15.dat)"
restore_data

# Collision texts are read as a match starts: every stage's are replaced, so
# whichever stage comes up first is refused.
collision_case() {
  local name=$1 first_line=$2 message=$3 dir stage
  note "case: $name"
  for dir in "$ASSETS"/tx2*; do
    stage=${dir##*/}
    for text in "$dir"/COLISION*.txt; do
      { echo "$first_line"; tail -n +2 "$text"; } >"$WORK/$(basename "$text" .txt)"
    done
    replace_objects "$stage.dat" COLISION0 COLISION1 COLISION2
  done
  list_datafiles
  start_game "$GAME_DIR/tarvelix_windowed"
  find_game_window
  wait_for_opening 0 0 "$name"
  choose_match_against_computer
  dismiss_message_box "$name"
  expect_exit 255 1
  expect_stderr "$message"
  restore_data
}
collision_case collision-header "Tarvelix-levels;1.0;8" "tiene un encabezado incorrecto"
collision_case collision-newer "Tarvelix-level;2.0;8" "es de una versión más nueva que este juego"

# Sound: a device that opens (SDL's dummy driver), then none at all.
export SDL_AUDIODRIVER=dummy
rm "$GAME_DIR/data/music/intro.ogg"
expect_plays_on missing-song "Tarvelix: Mixer error! (10) The sound file could not be opened. (data/music/intro.ogg: "
head -c 20000 /dev/urandom >"$GAME_DIR/data/music/intro.ogg"
expect_plays_on corrupt-song "Tarvelix: Mixer error! (11) The sound data could not be decoded. (data/music/intro.ogg: "
restore_data
export SDL_AUDIODRIVER=no-such-device
expect_plays_on no-audio-device "Tarvelix: Mixer error! (56) Error initializing output device. ("
