# A person against the computer: from the opening screen (Play, Versus,
# Player vs CPU), CAMANEY chosen on the character grid (arrow keys, left
# paddle) and the stage screen's first choice (the snow stage's first level)
# against the computer's OJEIS (right paddle).
# Holding up and then down moves player one's paddle up and then down; with no
# key held the computer's paddle goes to the ball's height and sends the ball
# back. (Losing a point to the computer and leaving the program are checked by
# the playthrough.)
source "$(dirname "$0")/harness.sh"

PADDLE_TWO_X=750                 # the computer's lane, px
RIGHT_SIDE_X=560                 # px: a ball at or right of this is the computer's to play
REACH=50                         # px between the computer's paddle middle and a ball it covers
CLOSER_BY=30                     # px the computer's paddle must have come toward the ball's height
FOLLOW_HISTORY=6                 # earlier screenshots (about 3 s) that show where the paddle came from
TRACK_X=450                      # px: a ball left of this is player one's to meet
TRACK_SPEED=400                  # px/s player one's paddle covers while a key is held, about
TRACK_MOST=0.4                   # s a tracking move holds a key at most
RETURN_STEP=20                   # px a returned ball must move left between two screenshots
COMPUTER_TIMEOUT=60              # s to see the computer follow the ball and return it
MISSES_BEFORE_WAIT=4             # screenshots without a ball before waiting for one
SOCKET_ONE_X=174 SOCKET_TWO_X=626 SOCKET_Y=588 # px: inside each item bar's socket

SAMPLES=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$SAMPLES"' EXIT

# The middle, in px, between the first and the last warm pixel (red well above
# blue) of column X of picture FILE: the middle of that side's paddle, from its
# upper sphere to its lower one. Everything else in the lanes is sky, snow and
# trees, all bluish.
paddle_middle() {
  convert "$2" -crop "1x$FIELD_HEIGHT+$1+$FIELD_TOP" +repage -depth 8 txt:- |
    awk -F'[(),: ]+' -v top=$FIELD_TOP 'NR > 1 && $3 - $5 > 30 { if (first == "") first = $2; last = $2 }
        END { if (first != "") print int((first + last) / 2) + top }'
}

start_display
start_game "$E2E_WINDOWED"
find_game_window
expect_window_size 800x600
wait_for_opening 0 0
choose_match_against_computer Left Left # from Uayumin past Lenguas to Camaney
wait_for_match 0 0 start
one=$(band_top $PADDLE_ONE_X)
[ -n "$one" ] || fail "no paddle found in player one's lane"
note "player one's upper sphere at y $one"

# Both item bars lie on the bottom wall, each showing in its socket the grey
# sphere of a bar that holds no item yet: a grey of mid brightness.
for x in $SOCKET_ONE_X $SOCKET_TWO_X; do
  IFS=, read -r r g b <<<"$(shot_pixel $x $SOCKET_Y)"
  spread=$(printf '%s\n' "$r" "$g" "$b" | sort -n | sed -n '1p;3p' | paste -sd' ')
  read -r lo hi <<<"$spread"
  [ $((hi - lo)) -le 24 ] && [ "$lo" -ge 40 ] && [ "$hi" -le 220 ] ||
    fail "no grey sphere in the item bar's socket at $x,$SOCKET_Y ($E2E_SHOT shows $r,$g,$b)"
done
note "both item bars show their grey sphere ($E2E_SHOT)"


xdotool mousemove --window "$E2E_WID" 400 300
xdotool windowfocus --sync "$E2E_WID"
ride up -1 0.25 Up
ride down 1 0.5 Down
# Back to about where it started, so that it sends some balls to the computer.
hold_keys 0.25 Up

# The computer plays, with no key held: screenshots one after another, each
# read for the ball and the middle of the computer's paddle, until
#  - following: the ball is on the computer's side, the paddle's middle is
#    within REACH of its height, and a few screenshots before the paddle was at
#    least CLOSER_BY farther from that height;
#  - returning: the ball is on the computer's side and the next two screenshots
#    show it going left, with player one's badge unchanged (a ball that got past
#    the computer is served again from the middle, toward the computer).
n=0 followed="" returned="" missed=0
declare -a BALL_X BALL_Y MIDDLE
deadline=$((SECONDS + COMPUTER_TIMEOUT))
while [ -z "$followed" ] || [ -z "$returned" ]; do
  [ $SECONDS -lt $deadline ] || break
  n=$((n + 1))
  shot=$SAMPLES/$n.png
  import -window root "$shot" 2>/dev/null || fail "screenshot of the rally failed"
  read -r BALL_X[n] BALL_Y[n] <<<"$(ball_position "$shot")"
  # No ball for a while: a point's announcement, or a match already over.
  if [ -z "${BALL_X[n]}" ]; then
    missed=$((missed + 1))
    [ $missed -ge $MISSES_BEFORE_WAIT ] && { wait_for_ball; missed=0; }
  else
    missed=0
  fi
  MIDDLE[n]=$(paddle_middle $PADDLE_TWO_X "$shot")
  # Player one meets the balls on its half as a person would, riding toward
  # the ball's height, so that the computer gets balls to play (a ball that
  # gets past player one is served again toward player one).
  if [ -n "${BALL_X[n]}" ] && [ "${BALL_X[n]}" -lt $TRACK_X ]; then
    own=$(paddle_middle $PADDLE_ONE_X "$shot")
    if [ -n "$own" ]; then
      dy=$((BALL_Y[n] - own)); key=Down
      [ $dy -lt 0 ] && { dy=$((-dy)); key=Up; }
      hold=$(awk -v d=$dy -v v=$TRACK_SPEED -v m=$TRACK_MOST 'BEGIN { t = d / v; if (t > m) t = m; printf "%.2f", t }')
      [ $dy -gt 15 ] && hold_keys "$hold" $key
    fi
  fi
  note "rally $n: ball at ${BALL_X[n]:--},${BALL_Y[n]:--}, computer's paddle middle at ${MIDDLE[n]:--}"
  [ -n "${BALL_X[n]}" ] && [ -n "${MIDDLE[n]}" ] || continue

  if [ -z "$followed" ] && [ "${BALL_X[n]}" -ge $RIGHT_SIDE_X ]; then
    gap=$((MIDDLE[n] - BALL_Y[n])); gap=${gap#-}
    if [ $gap -le $REACH ]; then
      for ((i = n - 1; i >= 1 && i >= n - FOLLOW_HISTORY; i--)); do
        [ -n "${MIDDLE[i]}" ] || continue
        was=$((MIDDLE[i] - BALL_Y[n])); was=${was#-}
        if [ $was -ge $((gap + CLOSER_BY)) ]; then
          cp "$SAMPLES/$i.png" "$E2E_SHOTS/$E2E_NAME-computer-follows-before.png"
          cp "$shot" "$E2E_SHOTS/$E2E_NAME-computer-follows-after.png"
          note "the computer's paddle came from y ${MIDDLE[i]} to ${MIDDLE[n]}, the ball at ${BALL_X[n]},${BALL_Y[n]}" \
            "($E2E_SHOTS/$E2E_NAME-computer-follows-before.png, -after.png)"
          followed=yes
          break
        fi
      done
    fi
  fi

  c=$((n - 2)) d=$((n - 1))
  if [ -z "$returned" ] && [ $c -ge 1 ] && [ -n "${BALL_X[c]}" ] && [ -n "${BALL_X[d]}" ] &&
     [ "${BALL_X[c]}" -ge $RIGHT_SIDE_X ] &&
     [ "${BALL_X[d]}" -le $((BALL_X[c] - RETURN_STEP)) ] && [ "${BALL_X[n]}" -le $((BALL_X[d] - RETURN_STEP)) ] &&
     [ "$(badge_difference one "$SAMPLES/$c.png" "$shot")" = 0 ]; then
    cp "$SAMPLES/$c.png" "$E2E_SHOTS/$E2E_NAME-computer-returns-1-ball-at-right.png"
    cp "$SAMPLES/$d.png" "$E2E_SHOTS/$E2E_NAME-computer-returns-2-ball-going-left.png"
    cp "$shot" "$E2E_SHOTS/$E2E_NAME-computer-returns-3-ball-going-left.png"
    note "the computer sent the ball back: x ${BALL_X[c]}, ${BALL_X[d]}, ${BALL_X[n]}" \
      "($E2E_SHOTS/$E2E_NAME-computer-returns-*.png)"
    returned=yes
  fi
done
[ -n "$followed" ] || fail "the computer's paddle was not seen going to the ball's height within ${COMPUTER_TIMEOUT}s"
[ -n "$returned" ] || fail "the computer was not seen sending the ball back within ${COMPUTER_TIMEOUT}s"
