# The game as a player installs it: `cmake --install` of this build into a
# scratch prefix puts both programs in bin/, the datafiles and songs in
# share/tarvelix/data/, a desktop entry that desktop-file-validate accepts, the
# icon as SVG and PNGs, and metainfo that appstreamcli accepts. The installed windowed program, started from
# another directory, finds its data beside its bin/ (its working directory
# becomes PREFIX/share/tarvelix, not the source tree), shows the opening
# screen, and Escape and a key end it with exit status 0. The Debian package
# of the same build holds the same files under /usr and depends on the four
# runtime libraries.
source "$(dirname "$0")/harness.sh"

BUILD_DIR=$(dirname "$E2E_WINDOWED")
PREFIX=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$PREFIX"' EXIT

cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$E2E_LOG.install" 2>&1 || fail "cmake --install failed"
for f in bin/tarvelix bin/tarvelix_windowed share/tarvelix/data/tx15.dat share/tarvelix/data/music/intro.ogg \
         share/applications/tarvelix.desktop share/icons/hicolor/scalable/apps/tarvelix.svg \
         share/icons/hicolor/16x16/apps/tarvelix.png share/icons/hicolor/256x256/apps/tarvelix.png; do
  [ -s "$PREFIX/$f" ] || fail "the installation lacks $f"
done
[ "$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/48x48/apps/tarvelix.png")" = 48x48 ] ||
  fail "the 48 px icon is not 48 px"
desktop-file-validate "$PREFIX/share/applications/tarvelix.desktop" || fail "the desktop entry does not validate"
metainfo=$PREFIX/share/metainfo/studio.vanto.Tarvelix.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$E2E_LOG.metainfo" 2>&1 ||
  { cat "$E2E_LOG.metainfo" >&2; fail "the metainfo does not validate"; }
note "installed into $PREFIX: programs, data, desktop entry, icons and metainfo"

# The Debian package of the same build.
(cd "$PREFIX" && cpack -G DEB -B "$PREFIX/package" --config "$BUILD_DIR/CPackConfig.cmake") \
  >"$E2E_LOG.cpack" 2>&1 || fail "cpack failed"
deb=$(ls "$PREFIX"/package/tarvelix_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no .deb was made"
depends=$(dpkg-deb -f "$deb" Depends)
for library in liballegro4.4 libfreetype6 libsdl2-2.0-0 libsndfile1; do
  grep -qw -- "$library" <<<"$depends" || fail "the package does not depend on $library ($depends)"
done
for f in usr/bin/tarvelix_windowed usr/share/tarvelix/data/tx15.dat usr/share/applications/tarvelix.desktop \
         usr/share/icons/hicolor/scalable/apps/tarvelix.svg usr/share/metainfo/studio.vanto.Tarvelix.metainfo.xml; do
  dpkg-deb -c "$deb" | grep -q " \./$f\$" || fail "the package lacks /$f"
done
note "package $(basename "$deb"): depends on $depends"

start_display
start_game "$PREFIX/bin/tarvelix_windowed"
find_game_window
wait_for_opening 0 0 installed-opening
cwd=$(readlink "/proc/$E2E_GAME_PID/cwd")
[ "$cwd" = "$PREFIX/share/tarvelix" ] || fail "the installed game reads its data from $cwd"
note "the installed game runs from $cwd"
send_key Escape
sleep 5.5
screenshot installed-closing >/dev/null
send_key space
expect_exit 0
