# The whole game in one run, as a player meets it, with its sound mixed into a
# file: the studio's logo, the opening screen, the help page (F1), the options
# (the music silenced with the slider and brought back with the arrow key, the
# menu's effects heard meanwhile, Spanish and back, a key rebound on the
# controls screen), the credits hurried with keys; then a match against the
# computer in which the rebound key moves player one's paddle and a point is
# scored, the rematch screen, a change of stage and another match; a match
# between two people; a whole match between two computers with no key pressed,
# its results and the rematch screen; the closing picture and exit status 0,
# with music and effects mixed and nothing on the error output.
# One screenshot of each step is kept in build/screenshots/playthrough/.
source "$(dirname "$0")/harness.sh"
playthrough_dirs ""

SILENT_RMS=30        # of 32767: what counts as silence in the mixed sound
AUDIBLE_RMS=300      # what the menu music at a low volume reaches at least
EFFECTS_RMS=100      # what the menu's effects reach with the music silenced
MENU_X=200 MENU_Y=300 MENU_W=400 MENU_H=200 # px: where the opening menus are drawn
FIRST_ROW_Y=368                   # px: the middle of the opening menu's first caption
MUSIC_KNOB_X=458 MUSIC_KNOB_Y=270 # px: on the music knob at the profile's 60 %
MUSIC_RIGHT_ARROW_X=700           # px: the music slider's » arrow
BUTTON_ROW_Y=380 CONTROLS_X=220 # px: CONTROLS in the options screen's row of buttons
LANGUAGE_RIGHT_X=700 LANGUAGE_Y=512           # px: the language's » arrow
OPTIONS_TEXT_X=100 OPTIONS_TEXT_Y=200 OPTIONS_TEXT_W=600 OPTIONS_TEXT_H=360 # px: its captions
UP_BINDING_X=230 UP_BINDING_Y=205 # px: player one's UP binding on the controls screen
CREDIT_PAGES=7                    # six pages and the closing logo
COMPUTERS_TIMEOUT=240             # s for two computers to finish a match
STILL_EVERY=0.6                   # s between the screenshots that tell a still screen

# How many pixels of the W x H region at X,Y differ between the captions of
# pictures A and B: only the bright text is compared, not the flickering light.
text_difference() {
  local a=$1 b=$2 region="${5}x${6}+$3+$4" t
  for t in a b; do
    convert "${!t}" -crop "$region" +repage -colorspace gray -threshold 55% "$E2E_LOG.text-$t.png"
  done
  compare -metric AE "$E2E_LOG.text-a.png" "$E2E_LOG.text-b.png" null: 2>&1 | cut -d' ' -f1
}

# The screen a key is about to change: the last screenshot, kept for next_screen.
mark() { cp "$E2E_SHOT" "$E2E_LOG.mark.png"; }

# Waits for the screen after the last mark to show and settle as NAME.
next_screen() {
  wait_for_new_screen "$E2E_LOG.mark.png" "$1"
  mark
}

# Waits for a stage screen, whose title reads as the first one's (SNOW), to
# show and settle as NAME.
STAGE_TITLE_X=280 STAGE_TITLE_Y=20 STAGE_TITLE_W=240 STAGE_TITLE_H=50 # px
wait_for_stage_screen() {
  for _ in $(seq 60); do
    screenshot "$1" >/dev/null
    [ "$(text_difference "$snow" "$E2E_SHOT" $STAGE_TITLE_X $STAGE_TITLE_Y $STAGE_TITLE_W $STAGE_TITLE_H)" -lt 300 ] &&
      { wait_for_settled "$1"; return 0; }
    sleep 0.2
  done
  fail "no stage screen for $1 ($E2E_SHOT)"
}

# Whether the W x H region at X,Y of pictures A and B differs by more than N pixels.
differs() { [ "$(region_difference "$1" "$3" "$4" "$2" "$3" "$4" "$5" "$6")" -gt "$7" ]; }

start_display
use_disk_audio
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
for _ in $(seq 50); do # the title is set just after the window takes its size
  [ "$(xdotool getwindowname "$E2E_WID")" = "Tarvelix" ] && break
  sleep 0.1
done
[ "$(xdotool getwindowname "$E2E_WID")" = "Tarvelix" ] || fail "window title is not Tarvelix"

# The intro: the logo's orb glows on an otherwise black screen.
for _ in $(seq 40); do
  screenshot intro >/dev/null
  IFS=, read -r r g b <<<"$(shot_pixel 506 164)"
  [ "$r" -ge 200 ] && [ "$b" -le 120 ] && [ "$(shot_pixel 60 60)" = "0,0,0" ] && break
  sleep 0.1
done
[ "$r" -ge 200 ] && [ "$b" -le 120 ] || fail "no studio logo at start-up ($E2E_SHOT)"
keep_step intro

wait_for_opening 0 0 opening
keep_step opening
english=$E2E_LOG.english.png
cp "$E2E_SHOT" "$english"

# Help: F1 shows the page, a key brings the opening screen back.
mark
send_key F1
next_screen help
differs "$english" "$E2E_SHOT" 0 0 800 600 100000 || fail "F1 did not show the help page ($E2E_SHOT)"
keep_step help
send_key space
wait_for_opening 0 0 after-help

# Options (one Down from Play), with the menu music playing.
send_key Down; sleep 0.3
screenshot options-chosen >/dev/null
english_on_options=$E2E_LOG.english-on-options.png
cp "$E2E_SHOT" "$english_on_options"
mark
send_key Return
next_screen options
keep_step options
options=$E2E_LOG.options-english.png
cp "$E2E_SHOT" "$options"
music=$(listen)
note "menu music at the profile's volume: RMS $music"
[ "$music" -ge "$AUDIBLE_RMS" ] || fail "no music heard on the options screen (RMS $music)"

# The music knob dragged far left: silence; then the menu's effects alone,
# while the arrow keys move the selection.
xdotool mousemove --window "$E2E_WID" $MUSIC_KNOB_X $MUSIC_KNOB_Y
sleep 0.3
xdotool mousedown 1
sleep 0.3
for x in 400 330 250 100; do xdotool mousemove --window "$E2E_WID" $x $((MUSIC_KNOB_Y + 40)); sleep 0.15; done
xdotool mouseup 1
sleep 0.3
screenshot music-silenced >/dev/null
keep_step music-silenced
muted=$(listen)
note "after dragging the music slider to its left end: RMS $muted"
[ "$muted" -le "$SILENT_RMS" ] || fail "the music still plays after the slider went to 0 (RMS $muted)"
from=$(audio_position)
for _ in 1 2 3; do send_key Down; sleep 0.25; send_key Up; sleep 0.25; done
sleep 0.5
effects=$(rms_since "$from")
note "the menu's effects with the music silenced: RMS $effects"
[ "$effects" -ge "$EFFECTS_RMS" ] || fail "no menu effect heard (RMS $effects)"

# The pointer on the music's » arrow selects it; the right arrow key steps the volume up.
xdotool mousemove --window "$E2E_WID" $MUSIC_RIGHT_ARROW_X $((MUSIC_KNOB_Y + 5))
sleep 0.3
for _ in 1 2 3; do send_key Right; sleep 0.2; done
screenshot music-back >/dev/null
keep_step music-back
back=$(listen)
note "after three steps up with the right arrow key: RMS $back"
[ "$back" -ge "$AUDIBLE_RMS" ] || fail "the right arrow key did not bring the music back (RMS $back)"

# Spanish with the language's » arrow, then English again (two languages wrap around).
click_at $LANGUAGE_RIGHT_X $LANGUAGE_Y
sleep 0.7
screenshot spanish >/dev/null
keep_step options-in-spanish
differs "$options" "$E2E_SHOT" $OPTIONS_TEXT_X $OPTIONS_TEXT_Y $OPTIONS_TEXT_W $OPTIONS_TEXT_H 2000 ||
  fail "the options screen did not turn Spanish ($E2E_SHOT)"
spanish=$E2E_LOG.options-spanish.png
cp "$E2E_SHOT" "$spanish"
click_at $LANGUAGE_RIGHT_X $LANGUAGE_Y
sleep 0.7
screenshot english-again >/dev/null
keep_step options-in-english-again
differs "$spanish" "$E2E_SHOT" $OPTIONS_TEXT_X $OPTIONS_TEXT_Y $OPTIONS_TEXT_W $OPTIONS_TEXT_H 2000 ||
  fail "the options screen did not turn English again ($E2E_SHOT)"

# Controls: player one's UP clicked, then the key I; the screen shows I there.
mark
click_at $CONTROLS_X $BUTTON_ROW_Y
next_screen controls
keep_step controls
controls=$E2E_LOG.controls.png
cp "$E2E_SHOT" "$controls"
click_at $UP_BINDING_X $UP_BINDING_Y
sleep 0.5
screenshot press-a-key >/dev/null
send_key i
sleep 0.5
screenshot rebound >/dev/null
differs "$controls" "$E2E_SHOT" 130 190 200 30 50 || fail "player one's UP binding did not change ($E2E_SHOT)"
keep_step up-rebound-to-i
E2E_UP_KEY=i
send_key Escape
wait_for_new_screen "$controls" options-after-controls

# The credits (one Right from CONTROLS, which is selected on coming back), a
# key on every page once it has faded in, give the options back.
send_key Right; sleep 0.3
send_key Return
previous=$E2E_SHOT
for page in $(seq $CREDIT_PAGES); do
  cp "$previous" "$E2E_LOG.previous-page.png"
  wait_for_new_screen "$E2E_LOG.previous-page.png" "credits-$page"
  keep_step "credits-$page"
  previous=$E2E_SHOT
  send_key space
done
wait_for_new_screen "$previous" options-after-credits
send_key Escape
wait_for_opening 0 0 opening-after-options
[ "$(text_difference "$english_on_options" "$E2E_SHOT" $MENU_X $MENU_Y $MENU_W $MENU_H)" -lt 500 ] ||
  fail "the opening menu is not English ($E2E_SHOT)"

# Against the computer: Play clicked with the mouse, then Versus and Player vs
# CPU; Camaney (two Left from Uayumin) on the snow stage, stepped away and back.
send_key $E2E_UP_KEY; sleep 0.3 # the rebound up: from Options back to Play
xdotool mousemove --window "$E2E_WID" 400 $FIRST_ROW_Y
sleep 0.3
xdotool mousedown 1; sleep 0.15; xdotool mouseup 1
sleep 0.4
send_key Return; sleep 0.4
mark
send_key Return
next_screen characters
send_key Left; sleep 0.3
send_key Left; sleep 0.3
screenshot camaney >/dev/null
keep_step character-grid
mark
send_key Return
next_screen stage
snow=$E2E_LOG.snow-stage.png
cp "$E2E_SHOT" "$snow"
send_key Right; sleep 0.6
screenshot next-stage >/dev/null
differs "$snow" "$E2E_SHOT" 0 0 800 600 20000 || fail "Right did not show the next stage ($E2E_SHOT)"
send_key Left; sleep 0.6
screenshot stage-screen >/dev/null
keep_step stage-screen
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 match
keep_step match-against-computer
one=$(band_top $PADDLE_ONE_X)
[ -n "$one" ] || fail "no paddle found in player one's lane"
ride up -1 0.25 $E2E_UP_KEY
keep_step rebound-key-moves-paddle
wait_for_point_against_one $E2E_UP_KEY
keep_step point-scored
wait_for_ball # that point may have ended the match: then a rematch

# Escape: the rematch screen (on Continue, or on Rematch when the match was
# over); up reaches Quit, up once more Change stage; the first stage offered;
# another match; then Quit to the opening screen.
open_rematch_screen rematch || fail "Escape ended the series instead of opening the rematch screen"
keep_step rematch-screen
sleep "$RESULTS_TIME"
for _ in 1 2; do send_key $E2E_UP_KEY; sleep 0.2; done
send_key Return
wait_for_stage_screen change-stage
keep_step change-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 second-match
wait_for_ball
keep_step second-match
leave_series rematch-again after-computer-series

# Two people: each confirms a character (player two with the keypad's Enter).
mark
open_versus_row 1
next_screen two-players-grid
send_key Return; sleep 0.3
send_key KP_Enter
wait_for_stage_screen two-players-stage
keep_step two-players-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 two-players-match
keep_step two-players-match
leave_series two-players-rematch after-two-players

# Two computers: no key from the grid on but the stage's Return; they play a
# whole match. Its results are the first picture that holds still, the
# rematch screen the one after them.
open_versus_row 2
wait_for_stage_screen two-computers-stage
keep_step two-computers-stage
send_key Return
sleep "$MATCH_INTRO_TIME"
wait_for_match 0 0 two-computers-match
keep_step two-computers-playing
deadline=$((SECONDS + COMPUTERS_TIMEOUT))
results=""
screenshot two-computers >/dev/null
while [ $SECONDS -lt $deadline ]; do
  cp "$E2E_SHOT" "$E2E_LOG.before-still.png"
  sleep $STILL_EVERY
  screenshot two-computers >/dev/null
  differs "$E2E_LOG.before-still.png" "$E2E_SHOT" 0 0 800 600 200 || { results=yes; break; }
done
[ -n "$results" ] || fail "two computers did not finish a match within ${COMPUTERS_TIMEOUT}s ($E2E_SHOT)"
keep_step results
sleep "$RESULTS_TIME"
screenshot two-computers-rematch >/dev/null
keep_step two-computers-rematch-screen
send_key $E2E_UP_KEY; sleep 0.2
send_key Return
wait_for_opening 0 0 opening-at-the-end

# Escape: the closing picture, which a key ends after 4 s.
send_key Escape
sleep 5.5
screenshot closing >/dev/null
differs "$english" "$E2E_SHOT" 0 0 800 600 100000 || fail "no closing picture ($E2E_SHOT)"
keep_step closing
send_key space
expect_exit 0
expect_sound_and_no_errors $AUDIBLE_RMS
