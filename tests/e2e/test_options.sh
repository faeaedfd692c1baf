# Around the match, as a new player meets it: the studio's logo and the intro
# ball at start-up; F1 on the opening screen shows the help page and a key
# brings the opening screen back; on the options screen the music slider
# dragged to its left end with the mouse silences the menu music and the
# right arrow key brings it back (measured in the mixed sound that SDL's disk
# audio driver writes); the credits, hurried with keys, run to their end and
# give the options screen back; the language switched to Spanish makes the
# opening screen Spanish; Escape and a key on the closing picture end the
# program with exit status 0 and nothing on its error output but the disk
# driver's own notice.
source "$(dirname "$0")/harness.sh"

AUDIO=$E2E_LOG.audio.raw
SILENT_RMS=30      # of 32767: what counts as silence in the mixed sound
AUDIBLE_RMS=300    # what the menu music at a low volume reaches at least
LISTEN=1.5         # s of sound measured at each step
MENU_X=200 MENU_Y=300 MENU_W=400 MENU_H=200 # px: where the opening menus are drawn
MUSIC_KNOB_X=458 MUSIC_KNOB_Y=270 # px: on the music knob at the profile's 60 %
MUSIC_RIGHT_ARROW_X=700               # px: the music slider's » arrow
CREDITS_X=400 BUTTON_ROW_Y=380           # px: the middle of CREDITS in the row of buttons
LANGUAGE_RIGHT_X=700 LANGUAGE_Y=512      # px: the language's » arrow
CREDIT_PAGES=7                           # six pages and the closing logo

# The root mean square of the mixed sound (16-bit stereo) written since byte FROM.
rms_since() {
  python3 - "$AUDIO" "$1" <<'PY'
import math, struct, sys
with open(sys.argv[1], 'rb') as f:
    f.seek(int(sys.argv[2]) & ~3)
    data = f.read()
n = len(data) // 2
samples = struct.unpack('<%dh' % n, data[:2 * n]) if n else ()
print(int(math.sqrt(sum(s * s for s in samples) / n)) if n else 0)
PY
}

# Listens LISTEN seconds and prints the loudness of what was mixed meanwhile.
listen() {
  local from
  from=$(stat -c %s "$AUDIO")
  sleep "$LISTEN"
  rms_since "$from"
}

start_display
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$AUDIO
rm -f "$AUDIO"
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600

# The intro: the logo's orb glows on an otherwise black screen.
for _ in $(seq 40); do
  screenshot intro >/dev/null
  IFS=, read -r r g b <<<"$(shot_pixel 506 164)"
  [ "$r" -ge 200 ] && [ "$b" -le 120 ] && [ "$(shot_pixel 60 60)" = "0,0,0" ] && break
  sleep 0.1
done
[ "$r" -ge 200 ] && [ "$b" -le 120 ] || fail "no studio logo at start-up ($E2E_SHOT)"
note "intro: $E2E_SHOT"

wait_for_opening 0 0 opening
english=$E2E_LOG.english.png
cp "$E2E_SHOT" "$english"

send_key F1
wait_for_settled help
[ "$(region_difference "$english" 0 0 "$E2E_SHOT" 0 0 800 600)" -gt 100000 ] ||
  fail "F1 did not show the help page ($E2E_SHOT)"
send_key space
wait_for_opening 0 0 after-help

# Options (one Down from Play).
send_key Down; sleep 0.3
send_key Return
wait_for_settled options
before=$(listen)
note "menu music at the profile's volume: RMS $before"
[ "$before" -ge "$AUDIBLE_RMS" ] || fail "no music heard on the options screen (RMS $before)"

# The knob dragged far left: silence.
xdotool mousemove --window "$E2E_WID" $MUSIC_KNOB_X $MUSIC_KNOB_Y
sleep 0.3
xdotool mousedown 1
sleep 0.3
screenshot music-pressed >/dev/null
for x in 400 330 250 100; do xdotool mousemove --window "$E2E_WID" $x $((MUSIC_KNOB_Y + 40)); sleep 0.15; done
xdotool mouseup 1
sleep 0.3
screenshot music-muted >/dev/null
muted=$(listen)
note "after dragging the music slider to its left end: RMS $muted ($E2E_SHOT)"
[ "$muted" -le "$SILENT_RMS" ] || fail "the music still plays after the slider went to 0 (RMS $muted)"

# The pointer on the music's » arrow selects it; the right arrow key steps the volume up.
xdotool mousemove --window "$E2E_WID" $MUSIC_RIGHT_ARROW_X $((MUSIC_KNOB_Y + 5))
sleep 0.3
for _ in 1 2 3; do send_key Right; sleep 0.2; done
screenshot music-stepped >/dev/null
stepped=$(listen)
note "after three steps up with the right arrow key: RMS $stepped ($E2E_SHOT)"
[ "$stepped" -ge "$AUDIBLE_RMS" ] || fail "the right arrow key did not bring the music back (RMS $stepped)"

# The credits, a key on every page once it has faded in.
click_at $CREDITS_X $BUTTON_ROW_Y
previous=""
for page in $(seq $CREDIT_PAGES); do
  wait_for_settled "credits-$page"
  if [ -n "$previous" ]; then
    [ "$(region_difference "$previous" 0 0 "$E2E_SHOT" 0 0 800 600)" -gt 20000 ] ||
      fail "credits page $page looks like the one before ($E2E_SHOT)"
  fi
  cp "$E2E_SHOT" "$E2E_LOG.previous-page.png"
  previous=$E2E_LOG.previous-page.png
  send_key space
  sleep 1.7
done
wait_for_settled options-after-credits

# Spanish: the language's » arrow, then leave.
click_at $LANGUAGE_RIGHT_X $LANGUAGE_Y
sleep 0.5
screenshot spanish-options >/dev/null
send_key Escape
wait_for_opening 0 0 spanish-opening
[ "$(region_difference "$english" $MENU_X $MENU_Y "$E2E_SHOT" $MENU_X $MENU_Y $MENU_W $MENU_H)" -gt 500 ] ||
  fail "the opening menu did not change language ($E2E_SHOT)"

send_key Escape
sleep 5.5
screenshot closing >/dev/null
send_key space
expect_exit 0
grep -v 'disk i/o audio driver\|Writing to file' "$E2E_LOG.stderr" | grep -q . &&
  fail "the game reported errors"
note "no errors reported"
