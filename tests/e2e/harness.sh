# End-to-end harness: runs the real game under a virtual display and drives it
# as a person would. Sourced by the test_*.sh scripts, which CTest calls as
#   test_x.sh WINDOWED_BINARY FULLSCREEN_BINARY SCREENSHOT_DIR
# Every function fails the test (exit 1) with a message when its check fails.
set -u

E2E_WINDOWED=$1
E2E_FULLSCREEN=$2
E2E_SHOTS=$3
E2E_NAME=$(basename "$0" .sh)
E2E_LOG=$E2E_SHOTS/$E2E_NAME
mkdir -p "$E2E_SHOTS"
E2E_XVFB_PID=""
E2E_GAME_PID=""

fail() { echo "FAIL [$E2E_NAME]: $*" >&2; [ -f "$E2E_LOG.stderr" ] && sed 's/^/  game: /' "$E2E_LOG.stderr" >&2; exit 1; }
note() { echo "[$E2E_NAME] $*"; }

e2e_cleanup() {
  [ -n "$E2E_GAME_PID" ] && kill "$E2E_GAME_PID" 2>/dev/null
  pkill -P $$ xmessage 2>/dev/null || true
  if [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null; then
    # Gone before the next test looks for a free display number: a server
    # still shutting down there would refuse the next game's window.
    for _ in $(seq 50); do kill -0 "$E2E_XVFB_PID" 2>/dev/null || break; sleep 0.1; done
  fi
  return 0
}
trap e2e_cleanup EXIT

# Starts Xvfb on a free display number and exports DISPLAY; with E2E_DISPLAY
# set (":91"), uses that display, already running, instead. The server must
# not reset when its last client leaves (between two starts of the game):
# a game connecting during that reset finds its connection dropped, and
# comes up without a display, its message box or its window.
start_display() {
  local n
  if [ -n "${E2E_DISPLAY:-}" ]; then
    xdpyinfo -display "$E2E_DISPLAY" >/dev/null 2>&1 || fail "no display $E2E_DISPLAY"
    export DISPLAY=$E2E_DISPLAY
    return 0
  fi
  for n in $(seq 90 160); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_LOG.xvfb" 2>&1 &
    E2E_XVFB_PID=$!
    for _ in $(seq 50); do
      # Another server may have taken the number at the same moment: ours
      # then exits, and the next number is tried.
      if [ -e /tmp/.X11-unix/X$n ]; then
        sleep 0.2
        kill -0 $E2E_XVFB_PID 2>/dev/null || break
        export DISPLAY=:$n
        return 0
      fi
      kill -0 $E2E_XVFB_PID 2>/dev/null || break
      sleep 0.1
    done
  done
  fail "no virtual display could be started"
}

# A scratch copy of the game in GAME_DIR, removed when the test ends: the
# windowed build beside a copy of the built data/ (the game looks for data/
# next to itself first), for tests that damage the data.
copy_game() {
  local data
  data=$(cd "$(dirname "$0")/../.." && pwd)/data
  [ -d "$data" ] || fail "no data/ built at $data"
  GAME_DIR=$(mktemp -d)
  trap 'e2e_cleanup; rm -rf "$GAME_DIR"' EXIT
  cp "$E2E_WINDOWED" "$GAME_DIR/tarvelix_windowed"
  mkdir -p "$GAME_DIR/data"
  cp -r "$data"/. "$GAME_DIR/data/"
}

# After a test changed datafiles of GAME_DIR on purpose: their list of sizes and
# CRCs rewritten as the build writes it, so that the game reads the changed
# datafiles instead of refusing them at start-up.
list_datafiles() {
  (cd "$GAME_DIR/data" && cksum tx*.dat >datafiles.cksum) || fail "could not list the datafiles"
}

# Starts a build of the game in the background, from a directory that is not
# the project's, so that it has to find data/ by itself.
start_game() {
  local binary=$1
  (cd /tmp && exec "$binary") >"$E2E_LOG.stdout" 2>"$E2E_LOG.stderr" &
  E2E_GAME_PID=$!
}

# Waits for the game's window (WM_CLASS "allegro") and sets E2E_WID. The
# full-screen build keeps that window unmapped behind a screen-sized one of its
# own and grabs the keyboard.
find_game_window() {
  local timeout=${1:-15}
  for _ in $(seq $((timeout * 10))); do
    E2E_WID=$(xdotool search --class allegro 2>/dev/null | head -1)
    [ -n "$E2E_WID" ] && return 0
    kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended before showing its window"
    sleep 0.1
  done
  fail "no game window within ${timeout}s"
}

# Prints the window's size as WxH.
window_size() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

# Waits until the game's window has the given size (it is created small and
# then resized to the graphics mode).
expect_window_size() {
  for _ in $(seq 50); do
    [ "$(window_size "$E2E_WID")" = "$1" ] && return 0
    sleep 0.1
  done
  fail "window is $(window_size "$E2E_WID"), expected $1"
}

# Takes a PNG of the whole virtual screen under the build tree.
screenshot() {
  local file=$E2E_SHOTS/$E2E_NAME-$1.png
  import -window root "$file" 2>/dev/null || fail "screenshot $1 failed"
  [ -s "$file" ] || fail "screenshot $1 is empty"
  note "screenshot $file"
  E2E_SHOT=$file
}

# Prints the colour of one pixel of the last screenshot as "r,g,b".
shot_pixel() {
  convert "$E2E_SHOT" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}

# Screenshots until the pixel at X,Y is no longer black (the game has drawn).
wait_for_picture() {
  local name=$1 x=$2 y=$3
  for _ in $(seq 20); do
    screenshot "$name" >/dev/null
    [ "$(shot_pixel "$x" "$y")" != "0,0,0" ] && { note "screenshot $E2E_SHOT"; return 0; }
    sleep 0.25
  done
  fail "the screen still shows nothing at $x,$y"
}

# Prints how many pixels differ between the W x H region at X1,Y1 of picture A
# and the one at X2,Y2 of picture B.
region_difference() {
  local a=$1 x1=$2 y1=$3 b=$4 x2=$5 y2=$6 w=$7 h=$8
  convert "$a" -crop "${w}x${h}+$x1+$y1" +repage "$E2E_LOG.region-a.png"
  convert "$b" -crop "${w}x${h}+$x2+$y2" +repage "$E2E_LOG.region-b.png"
  compare -metric AE "$E2E_LOG.region-a.png" "$E2E_LOG.region-b.png" null: 2>&1 | cut -d' ' -f1
}

# The inner part of the match's two score badges, relative to the game's
# picture: player one's at BADGE_ONE_X, player two's at BADGE_TWO_X.
BADGE_ONE_X=38 BADGE_TWO_X=758 BADGE_Y=13 BADGE_SIZE=28

# Waits until the match is drawn and settled (the stage has faded in): two
# screenshots apart show the same score badges, drawn (not black). OX,OY is
# where the game's picture starts on the virtual screen.
wait_for_match() {
  local ox=$1 oy=$2 previous="" badge same
  for _ in $(seq 40); do
    screenshot "${3:-match}" >/dev/null
    if [ -n "$previous" ] &&
       [ "$(shot_pixel $((ox + BADGE_ONE_X + BADGE_SIZE / 2)) $((oy + BADGE_Y + BADGE_SIZE / 2)))" != "0,0,0" ]; then
      same=yes
      for badge in $BADGE_ONE_X $BADGE_TWO_X; do
        [ "$(region_difference "$previous" $((ox + badge)) $((oy + BADGE_Y)) "$E2E_SHOT" \
             $((ox + badge)) $((oy + BADGE_Y)) $BADGE_SIZE $BADGE_SIZE)" = 0 ] || same=""
      done
      [ -n "$same" ] && { note "match running: $E2E_SHOT"; return 0; }
    fi
    cp "$E2E_SHOT" "$E2E_LOG.previous.png"
    previous=$E2E_LOG.previous.png
    sleep 0.1
  done
  fail "no settled match on the screen"
}

# Waits until the opening screen is drawn and settled (its fade-in over): the
# title's letter at OX+300,OY+130 glows orange (red well above blue, even
# when the flickering light is low) and two screenshots apart agree about the
# menu. Leaves the screenshot NAME.
wait_for_opening() {
  opening_shown "$1" "$2" "${3:-opening}" 60 || fail "no opening screen"
}

# Whether the opening screen shows and has settled within TRIES screenshots
# (see wait_for_opening).
opening_shown() {
  local ox=$1 oy=$2 name=$3 tries=$4 previous=""
  for _ in $(seq "$tries"); do
    screenshot "$name" >/dev/null
    if opening_title_lit "$ox" "$oy" && [ -n "$previous" ] &&
       [ "$(region_difference "$previous" $((ox + 200)) $((oy + 300)) "$E2E_SHOT" \
            $((ox + 200)) $((oy + 300)) 400 200)" -lt 4000 ]; then
      note "opening screen: $E2E_SHOT"
      return 0
    fi
    cp "$E2E_SHOT" "$E2E_LOG.previous.png"
    previous=$E2E_LOG.previous.png
    sleep 0.2
  done
  return 1
}

# Whether the last screenshot shows the opening screen's title glowing at
# OX+300,OY+130 (see wait_for_opening).
opening_title_lit() {
  local r g b
  IFS=, read -r r g b <<<"$(shot_pixel $(($1 + 300)) $(($2 + 130)))"
  [ "$r" -ge 80 ] && [ "$r" -ge $((2 * b + 20)) ]
}

# From the opening screen: Play, Versus, then the versus menu's row ROW
# (0 against the computer, 1 two people, 2 two computers).
open_versus_row() {
  local i
  send_key Return; sleep 0.4
  send_key Return; sleep 0.4
  for ((i = 0; i < $1; i++)); do send_key Down; sleep 0.2; done
  send_key Return
}

# From the opening screen into a match against the computer: Play, then
# Versus, then Player vs CPU, each chosen with Return; then on the character
# grid the KEYS given (none: the first highlighted character) and Return; on
# the stage screen Return takes the stage shown; then the versus presentation
# and the ready-go count run.
choose_match_against_computer() {
  local k
  open_versus_row 0
  wait_for_settled characters
  for k in "$@"; do send_key "$k"; sleep 0.3; done
  send_key Return
  wait_for_settled stage
  send_key Return
  sleep "$MATCH_INTRO_TIME"
}

# s the results of a finished match may still show once a still picture is seen
RESULTS_TIME=2.2

# s from accepting the stage to the match's first free frame: the stage
# fades out, the match fades in, the versus presentation and the ready-go
# count run.
MATCH_INTRO_TIME=7.5

# Screenshots NAME until the screen has faded in and holds still: its mean
# brightness is above black and within a hair of the previous screenshot's.
wait_for_settled() {
  local name=$1 mean previous=""
  for _ in $(seq 40); do
    screenshot "$name" >/dev/null
    mean=$(convert "$E2E_SHOT" -crop "800x600+${E2E_OX:-0}+${E2E_OY:-0}" -format '%[fx:int(1000*mean)]' info:)
    if [ "$mean" -gt 40 ] && [ -n "$previous" ] && [ $((mean - previous)) -le 3 ] &&
       [ $((previous - mean)) -le 3 ]; then
      note "$name settled: $E2E_SHOT"
      return 0
    fi
    previous=$mean
    sleep 0.2
  done
  fail "the screen did not settle for $name"
}

# From a running match out of the program: Escape opens the rematch screen on
# Continue, player one's up (E2E_UP_KEY: Up unless rebound) reaches Quit to
# menu, Return leaves the series; Escape on the opening screen shows the
# closing picture, which a key ends after 4 s.
quit_from_match() {
  local ox=${1:-0} oy=${2:-0}
  # A match that has ended shows its results (still for 1.8 s), then the
  # rematch screen (starting on Rematch, from which Up also reaches Quit).
  # A point's announcement also holds still for a moment: when Quit did not
  # lead to the opening screen, the rematch screen is opened again.
  for _ in 1 2 3; do
    if ! screen_still "${3:-rematch}"; then
      open_rematch_screen "${3:-rematch}" || break
    fi
    sleep "$RESULTS_TIME"
    send_key "${E2E_UP_KEY:-Up}"; sleep 0.2
    send_key Return
    opening_shown "$ox" "$oy" opening-again 30 && break
  done
  wait_for_opening "$ox" "$oy" opening-again
  send_key Escape
  sleep 5.5
  screenshot closing >/dev/null
  send_key space
}

# Whether two screenshots NAME SECONDS apart (0.6 when not given) show the
# same picture: a match always moves.
screen_still() {
  screenshot "$1" >/dev/null
  cp "$E2E_SHOT" "$E2E_LOG.before-still.png"
  sleep "${2:-0.6}"
  screenshot "$1" >/dev/null
  [ "$(region_difference "$E2E_LOG.before-still.png" "${E2E_OX:-0}" "${E2E_OY:-0}" "$E2E_SHOT" \
       "${E2E_OX:-0}" "${E2E_OY:-0}" 800 600)" -lt 200 ]
}

# Screenshots until the picture differs from picture WAS (a key's screen
# change has begun), then until it settles as NAME (see wait_for_settled).
wait_for_new_screen() {
  local was=$1 name=$2
  for _ in $(seq 60); do
    screenshot "$name" >/dev/null
    [ "$(region_difference "$was" "${E2E_OX:-0}" "${E2E_OY:-0}" "$E2E_SHOT" \
         "${E2E_OX:-0}" "${E2E_OY:-0}" 800 600)" -gt 20000 ] && { wait_for_settled "$name"; return 0; }
    sleep 0.2
  done
  fail "the screen did not change for $name ($E2E_SHOT)"
}

# Escape in a running match until the rematch screen shows (a point's
# announcement can hold the match while a key is pressed): the rematch screen
# holds still, a match never does. Each Escape is given a few seconds to show
# its screen before the next: on a loaded machine a second Escape could reach
# the rematch screen of a finished match (where Escape quits the series) and
# then the opening screen (where it closes the game). Leaves the screenshot
# NAME; returns 1 when the opening screen shows instead (the series is over).
open_rematch_screen() {
  local name=${1:-rematch}
  for _ in $(seq 10); do
    send_key Escape
    for _ in 1 2 3 4; do
      sleep 0.3
      screen_still "$name" && { note "rematch screen: $E2E_SHOT"; return 0; }
      opening_title_lit "${E2E_OX:-0}" "${E2E_OY:-0}" && { note "the opening screen shows: $E2E_SHOT"; return 1; }
    done
  done
  fail "Escape did not open the rematch screen"
}

# From a running match back to the opening screen: the rematch screen (see
# open_rematch_screen, NAME), then player one's up (E2E_UP_KEY: Up unless
# rebound) from Continue to Quit to menu, and Return; waits for the opening
# screen as OPENING.
leave_series() {
  open_rematch_screen "$1" || fail "Escape ended the series instead of opening the rematch screen"
  sleep "$RESULTS_TIME"
  send_key "${E2E_UP_KEY:-Up}"; sleep 0.2
  send_key Return
  wait_for_opening 0 0 "$2"
}

# Player one's lane, and the rows below the score badges that the paddle
# checks read, px; a held key must move a paddle at least MIN_MOVE.
PADDLE_ONE_X=50 FIELD_TOP=50 FIELD_HEIGHT=540 MIN_MOVE=15

# The topmost row of column X (below the score badges) holding a strongly
# coloured pixel: the top of that side's upper sphere. The stage is a pale
# winter scene, so only the spheres, the bands and the ball are that colourful.
band_top() {
  convert "$E2E_SHOT" -crop "1x$FIELD_HEIGHT+$1+$FIELD_TOP" +repage -depth 8 txt:- |
    awk -F'[(),: ]+' -v top=$FIELD_TOP 'NR > 1 { r = $3; g = $4; b = $5
        hi = r; if (g > hi) hi = g; if (b > hi) hi = b
        lo = r; if (g < lo) lo = g; if (b < lo) lo = b
        if (hi - lo > 120) { print $2 + top; exit } }'
}

BALL_FIELD_HEIGHT=515 # rows the ball is looked for in: above the item bars, px

# The ball's middle "x y" in picture FILE, or nothing when no ball is seen. The
# ball is the only thing right of player one's lane and above the item bars
# that is strongly orange (red above blue by more than 150 of 255: the
# computer's sand-coloured paddle stays below that); a patch that is not
# ball-sized is not taken for it.
ball_position() {
  convert "$1" -crop "720x$BALL_FIELD_HEIGHT+80+$FIELD_TOP" +repage -write mpr:field +delete \
    \( mpr:field -channel R -separate +channel \) \( mpr:field -channel B -separate +channel \) \
    -compose minus_src -composite -threshold 59% -format '%@' info: 2>/dev/null |
    awk -F'[x+]' -v top=$FIELD_TOP '$1 >= 6 && $1 <= 40 && $2 >= 6 && $2 <= 40 {
        print int(80 + $3 + $1 / 2), int(top + $4 + $2 / 2) }'
}

# Waits until the match is in play: a ball that moves between two
# screenshots (the versus and results screens hold still, and their
# characters may show ball-sized orange patches). A match the computer has
# won meanwhile (its results, then the rematch screen, hold still) is played
# again: Return on Rematch, then the versus presentation and the count.
wait_for_ball() {
  local first second
  for _ in $(seq 30); do
    screenshot in-play >/dev/null
    first=$(ball_position "$E2E_SHOT")
    sleep 0.1
    screenshot in-play >/dev/null
    second=$(ball_position "$E2E_SHOT")
    [ -n "$first" ] && [ -n "$second" ] && [ "$first" != "$second" ] && return 0
    if screen_still in-play; then
      note "the match is over ($E2E_SHOT): a rematch"
      sleep "$RESULTS_TIME"
      send_key Return
      sleep "$MATCH_INTRO_TIME"
    fi
  done
  fail "no ball in play ($E2E_SHOT)"
}

# Holds the given keys together for SECONDS, then lets them go.
hold_keys() {
  local seconds=$1; shift
  xdotool keydown "$@"
  sleep "$seconds"
  xdotool keyup "$@"
}

# Holds player one's key of one direction (up: sign -1, down: +1) while the
# ball is in play and checks that player one's upper sphere moved at least
# MIN_MOVE that way. A hold is tried again a little later when it fell into
# the ready-go count or a point's announcement (they hold the match), or into
# the rival's swap or mirror item (for up to 7 s the keys or the picture are
# turned around).
ride() {
  local direction=$1 sign=$2 seconds=$3 key=$4 was=$one attempt
  for attempt in 1 2 3 4 5 6; do
    wait_for_ball
    if [ $attempt -gt 1 ]; then # measured again: a point or a rematch puts the paddle back
      was=$(band_top $PADDLE_ONE_X)
      [ -n "$was" ] || was=$one
    fi
    hold_keys "$seconds" "$key"
    screenshot "player-one-$direction"
    one=$(band_top $PADDLE_ONE_X)
    note "after holding $key: player one's upper sphere at y $one"
    [ -n "$one" ] || fail "no paddle found in player one's lane"
    [ $(((one - was) * sign)) -ge $MIN_MOVE ] && return 0
    sleep 1.5
  done
  fail "player one's paddle did not move $direction"
}

# Points at X,Y of the game's window and clicks, the button held as long as a
# person's click, so that a screen that polls the mouse once a frame sees it.
click_at() {
  xdotool mousemove --window "$E2E_WID" "$1" "$2"
  sleep 0.3
  xdotool mousedown 1; sleep 0.15; xdotool mouseup 1
}

# Presses and releases a key in the game's window, held long enough for a
# game loop that polls the keyboard to see it.
send_key() {
  if xwininfo -id "$E2E_WID" | grep -q 'IsViewable'; then
    xdotool mousemove --window "$E2E_WID" 400 300
    xdotool windowfocus --sync "$E2E_WID"
  fi
  xdotool keydown "$1"
  sleep "${2:-0.15}"
  xdotool keyup "$1"
}

# Waits for the game to end and checks its exit status.
expect_exit() {
  local want=$1 timeout=${2:-20} rc
  for _ in $(seq $((timeout * 10))); do
    kill -0 "$E2E_GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$E2E_GAME_PID" 2>/dev/null && fail "the game still runs after ${timeout}s"
  wait "$E2E_GAME_PID"; rc=$?
  E2E_GAME_PID=""
  [ "$rc" = "$want" ] || fail "exit status $rc, expected $want"
  note "exit status $rc"
}

# Checks that the game's error output holds a text (fatal messages are copied there).
expect_stderr() {
  grep -qF -- "$1" "$E2E_LOG.stderr" || fail "the game did not report \"$1\""
}

# A fatal message is shown in a message box (xmessage): waits for it,
# screenshots it and clicks its OK button, the lowest widget of the box.
dismiss_message_box() {
  local box="" x y
  for _ in $(seq 300); do
    box=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -1)
    [ -n "$box" ] && break
    # A game that ended without showing its box fails the test at once.
    if ! kill -0 "$E2E_GAME_PID" 2>/dev/null; then
      wait "$E2E_GAME_PID"
      fail "the game ended (status $?) without a message box; its output: $(cat "$E2E_LOG.stdout")"
    fi
    sleep 0.1
  done
  [ -n "$box" ] || fail "no message box appeared"
  sleep 0.3
  screenshot "${1:-message-box}"
  # Widgets appear in the tree as "0xID (has no name): ()  WxH+relx+rely  +absx+absy";
  # the button row is the lowest one.
  read -r x y <<<"$(xwininfo -tree -id "$box" | awk '/\(has no name\): \(\)/ {
      split($6, g, /[x+]/); split($7, a, "+"); print a[3], a[2] + int(g[1] / 2), a[3] + int(g[2] / 2) }' |
      sort -n | tail -1 | cut -d' ' -f2-)"
  [ -n "$x" ] || fail "the message box has no button"
  xdotool mousemove "$x" "$y" click 1
  note "clicked OK at $x,$y"
}

# A playthrough keeps one screenshot of each step, numbered in the order of
# the steps and named with PREFIX, in PLAYTHROUGH_DIR; every other screenshot
# and its mixed sound go to PLAYTHROUGH_DIR/all.
PLAYTHROUGH_STEP=0
playthrough_dirs() {
  PLAYTHROUGH_PREFIX=$1
  PLAYTHROUGH_DIR=$E2E_SHOTS/playthrough
  E2E_SHOTS=$PLAYTHROUGH_DIR/all
  E2E_LOG=$E2E_SHOTS/$E2E_NAME
  E2E_AUDIO=$E2E_LOG.audio.raw
  mkdir -p "$E2E_SHOTS"
}

keep_step() {
  PLAYTHROUGH_STEP=$((PLAYTHROUGH_STEP + 1))
  local file
  file=$PLAYTHROUGH_DIR/$PLAYTHROUGH_PREFIX$(printf %02d $PLAYTHROUGH_STEP)-$1.png
  cp "$E2E_SHOT" "$file"
  note "step $PLAYTHROUGH_STEP, $1: $file"
}

# The game's sound goes to a file through SDL's disk audio driver (16-bit
# stereo at 44.1 kHz), so that what was mixed can be measured.
E2E_AUDIO=$E2E_LOG.audio.raw
use_disk_audio() {
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$E2E_AUDIO
  rm -f "$E2E_AUDIO"
}

# The root mean square (of 32767) of the mixed sound written since byte FROM.
rms_since() {
  python3 - "$E2E_AUDIO" "$1" <<'PY'
import math, struct, sys
with open(sys.argv[1], 'rb') as f:
    f.seek(int(sys.argv[2]) & ~3)
    data = f.read()
n = len(data) // 2
samples = struct.unpack('<%dh' % n, data[:2 * n]) if n else ()
print(int(math.sqrt(sum(s * s for s in samples) / n)) if n else 0)
PY
}

# Bytes of sound mixed so far.
audio_position() { stat -c %s "$E2E_AUDIO"; }

# Listens SECONDS (default 1.5) and prints the loudness of what was mixed meanwhile.
listen() {
  local from
  from=$(audio_position)
  sleep "${1:-1.5}"
  rms_since "$from"
}

# Fails when the whole run's mixed sound is quieter than RMS MIN, or when the
# game's error output holds anything but the disk audio driver's own notice.
expect_sound_and_no_errors() {
  local sound
  sound=$(rms_since 0)
  note "the whole run's mixed sound: RMS $sound"
  [ "$sound" -ge "$1" ] || fail "the run's sound is silent (RMS $sound)"
  grep -v 'disk i/o audio driver\|Writing to file' "$E2E_LOG.stderr" | grep -q . &&
    fail "the game reported errors"
  note "no errors reported"
}

# Prints how many pixels of player one's (one) or player two's (two) score
# badge differ between two pictures.
badge_difference() {
  local x=$BADGE_ONE_X
  [ "$1" = two ] && x=$BADGE_TWO_X
  region_difference "$2" $x $BADGE_Y "$3" $x $BADGE_Y $BADGE_SIZE $BADGE_SIZE
}

POINT_TIMEOUT=50 # s to wait for a point against player one

# Player one's paddle rides to the top (UP_KEY) and is left there: with no
# key held, the computer scores. A point changes one badge between two
# screenshots; a fade between matches changes both; a point of player one's
# (the computer missed) changes only player one's. Leaves the screenshot of
# the point, the one before it in E2E_BEFORE_POINT.
wait_for_point_against_one() {
  local up=$1 one two
  hold_keys 1.2 "$up"
  screenshot player-one-parked >/dev/null
  E2E_BEFORE_POINT=$E2E_LOG.before-point.png
  local deadline=$((SECONDS + POINT_TIMEOUT))
  while [ $SECONDS -lt $deadline ]; do
    sleep 0.5
    cp "$E2E_SHOT" "$E2E_BEFORE_POINT"
    screenshot point >/dev/null
    # A match the computer has already won ends on its results and the
    # rematch screen, which hold still: a rematch, and player one parks again.
    if [ "$(region_difference "$E2E_BEFORE_POINT" 0 0 "$E2E_SHOT" 0 0 800 600)" -lt 200 ]; then
      note "the match is over ($E2E_SHOT): a rematch"
      sleep "$RESULTS_TIME"
      send_key Return
      wait_for_match 0 0 rematch-start
      hold_keys 1.2 "$up"
      screenshot point >/dev/null
      continue
    fi
    one=$(badge_difference one "$E2E_BEFORE_POINT" "$E2E_SHOT")
    two=$(badge_difference two "$E2E_BEFORE_POINT" "$E2E_SHOT")
    if [ "$one" = 0 ] && [ "$two" != 0 ]; then
      note "a point against player one: $two pixels of player two's badge changed ($E2E_SHOT)"
      return 0
    fi
  done
  fail "no point against player one within ${POINT_TIMEOUT}s"
}
