# With no display at all the graphics mode cannot be set: the game ends with
# its message and exit status 255, after the shutdown sequence, without a crash.
source "$(dirname "$0")/harness.sh"
for binary in "$E2E_WINDOWED" "$E2E_FULLSCREEN"; do
  unset DISPLAY
  start_game "$binary"
  expect_exit 255
  expect_stderr "El modo de video no pudo ser inicializado."
done
