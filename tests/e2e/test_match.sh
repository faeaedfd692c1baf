# Two people at one keyboard: the game opens a match on level 12, CAMANEY
# (arrow keys) against LENGUAS (W and S). Holding up and then down moves both
# paddles up and then down; a point changes one score badge; Escape leaves the
# series and the program with exit status 0.
source "$(dirname "$0")/harness.sh"

PADDLE_ONE_X=50 PADDLE_TWO_X=750 # the paddles' lanes, px
MIN_MOVE=15                      # px a held key must move a paddle at least
POINT_TIMEOUT=60                 # s to wait for the first point

# The topmost row of column X (below the score badges) holding a strongly
# coloured pixel: the top of that side's upper sphere. The stage is a pale
# winter scene, so only the spheres, the bands and the ball are that colourful.
band_top() {
  convert "$E2E_SHOT" -crop "1x540+$1+50" +repage -depth 8 txt:- |
    awk -F'[(),: ]+' 'NR > 1 { r = $3; g = $4; b = $5
        hi = r; if (g > hi) hi = g; if (b > hi) hi = b
        lo = r; if (g < lo) lo = g; if (b < lo) lo = b
        if (hi - lo > 120) { print $2 + 50; exit } }'
}

hold_keys() {
  local seconds=$1; shift
  xdotool keydown "$@"
  sleep "$seconds"
  xdotool keyup "$@"
}

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_match 0 0 start
START=$E2E_SHOT
one=$(band_top $PADDLE_ONE_X) two=$(band_top $PADDLE_TWO_X)
[ -n "$one" ] && [ -n "$two" ] || fail "no paddle found in its lane"
note "upper spheres at y $one and $two"

# Holds player one's and player two's key of one direction (up: sign -1, down:
# +1) and checks that both upper spheres moved at least MIN_MOVE that way.
ride() {
  local direction=$1 sign=$2 seconds=$3 key_one=$4 key_two=$5 was_one=$one was_two=$two
  hold_keys "$seconds" "$key_one" "$key_two"
  screenshot "$direction"
  one=$(band_top $PADDLE_ONE_X) two=$(band_top $PADDLE_TWO_X)
  note "after holding $direction: y $one and $two"
  [ $(((one - was_one) * sign)) -ge $MIN_MOVE ] || fail "player one's paddle did not move $direction"
  [ $(((two - was_two) * sign)) -ge $MIN_MOVE ] || fail "player two's paddle did not move $direction"
}

xdotool mousemove --window "$E2E_WID" 400 300
xdotool windowfocus --sync "$E2E_WID"
ride up -1 0.25 Up w
ride down 1 0.5 Down s

# Both paddles ride to the top and stay there, so that no rally between them
# can last: the ball gets past one of them.
hold_keys 1.2 Up w

# A point changes one badge between two screenshots; a fade between matches
# changes both.
previous=$E2E_SHOT scored=""
for _ in $(seq $((POINT_TIMEOUT * 2))); do
  sleep 0.5
  cp "$previous" "$E2E_LOG.before-point.png"
  screenshot point >/dev/null
  one=$(region_difference "$E2E_LOG.before-point.png" $BADGE_ONE_X $BADGE_Y "$E2E_SHOT" $BADGE_ONE_X $BADGE_Y $BADGE_SIZE $BADGE_SIZE)
  two=$(region_difference "$E2E_LOG.before-point.png" $BADGE_TWO_X $BADGE_Y "$E2E_SHOT" $BADGE_TWO_X $BADGE_Y $BADGE_SIZE $BADGE_SIZE)
  if { [ "$one" = 0 ] && [ "$two" != 0 ]; } || { [ "$one" != 0 ] && [ "$two" = 0 ]; }; then
    scored=yes
    break
  fi
  previous=$E2E_SHOT
done
[ -n "$scored" ] || fail "no point within ${POINT_TIMEOUT}s"
cp "$E2E_LOG.before-point.png" "$E2E_SHOTS/$E2E_NAME-before-point.png"
note "a point: $one pixels of player one's badge and $two of player two's changed ($E2E_SHOTS/$E2E_NAME-before-point.png to $E2E_SHOT)"

# The match reads Escape while it plays; held through the fades of a next match
# (about 2 s), it still reaches it.
send_key Escape 3
expect_exit 0
