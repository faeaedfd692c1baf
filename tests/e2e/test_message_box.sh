# The harness's handling of a fatal message box: a box shown the way the
# graphics library shows one is found, photographed and closed with its OK button.
source "$(dirname "$0")/harness.sh"
start_display
xmessage -buttons OK:101 -default OK -center "Error al cargar PRUEBA desde data/tx99.dat" &
E2E_GAME_PID=$!
dismiss_message_box box
expect_exit 101
