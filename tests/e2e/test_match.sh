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
one_start=$(band_top $PADDLE_ONE_X) two_start=$(band_top $PADDLE_TWO_X)
[ -n "$one_start" ] && [ -n "$two_start" ] || fail "no paddle found in its lane"
note "upper spheres at y $one_start and $two_start"

xdotool mousemove --window "$E2E_WID" 400 300
xdotool windowfocus --sync "$E2E_WID"
hold_keys 0.25 Up w
screenshot up
one_up=$(band_top $PADDLE_ONE_X) two_up=$(band_top $PADDLE_TWO_X)
note "after holding up: y $one_up and $two_up"
[ $((one_start - one_up)) -ge $MIN_MOVE ] || fail "player one's paddle did not move up"
[ $((two_start - two_up)) -ge $MIN_MOVE ] || fail "player two's paddle did not move up"

hold_keys 0.5 Down s
screenshot down
one_down=$(band_top $PADDLE_ONE_X) two_down=$(band_top $PADDLE_TWO_X)
note "after holding down: y $one_down and $two_down"
[ $((one_down - one_up)) -ge $MIN_MOVE ] || fail "player one's paddle did not move down"
[ $((two_down - two_up)) -ge $MIN_MOVE ] || fail "player two's paddle did not move down"

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
