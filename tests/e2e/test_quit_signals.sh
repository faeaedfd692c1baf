# SIGTERM and SIGINT end the game cleanly wherever it is: during the intro, on
# the opening screen and in a match the game runs its shutdown sequence and
# exits with the shell's status for the signal (143, 130) within a few
# seconds, never aborting (the graphics library's own handler used to shut it
# down inside the signal and sometimes ended in SIGABRT).
source "$(dirname "$0")/harness.sh"
start_display

# Sends SIGNAL to the running game and checks its exit status and that the
# graphics library's handler did not take the signal.
end_with() {
  local signal=$1 status=$2
  kill -"$signal" "$E2E_GAME_PID"
  expect_exit "$status" 5
  grep -q "Shutting down Allegro" "$E2E_LOG.stderr" && fail "the graphics library's handler took SIG$signal"
  return 0
}

for case in "TERM 143" "INT 130"; do
  read -r signal status <<<"$case"
  note "SIG$signal during the intro"
  start_game "$E2E_WINDOWED"
  find_game_window
  sleep 1
  end_with "$signal" "$status"

  note "SIG$signal on the opening screen"
  start_game "$E2E_WINDOWED"
  find_game_window
  wait_for_opening 0 0
  end_with "$signal" "$status"

  note "SIG$signal in a match"
  start_game "$E2E_WINDOWED"
  find_game_window
  wait_for_opening 0 0
  choose_match_against_computer
  wait_for_ball
  end_with "$signal" "$status"
done
