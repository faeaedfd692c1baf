#!/usr/bin/env bash
# test-pipeline.sh PACK_SCRIPT TVX_PASSWORD TVX_DATACHECK
# The content pipeline on scratch sources: objects named exactly after their
# sources, bytes kept, bitmaps with exact pink and no fringe; a failing source
# leaves the previous datafile untouched; the data check passes a consistent
# game directory and names the document, object and datafile of a broken one.
set -euo pipefail
pack=$1 password_tool=$2 datacheck=$3
dir=$(mktemp -d /tmp/tvx_pipeline_XXXXXX)
trap 'rm -rf "$dir"' EXIT
"$password_tool" >"$dir/password"
password=$(cat "$dir/password")
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
pack_into() { "$pack" "$1" "$2" "$dir/work" "$dir/password" >/dev/null 2>"$dir/pack.err"; }
objects() { dat -007 "$password" -l "$1" | awk '/^- / {print $4}' | sort | tr '\n' ' '; }

# --- conversions ---------------------------------------------------------
src=$dir/src
mkdir -p "$src"
printf '<Doc a="1"/>' >"$src/Doc.xml"
printf 'Tarvelix-level\n1\n' >"$src/LEVEL.txt"
echo /usr/share/fonts/opentype/league-spartan/LeagueSpartan-SemiBold.otf >"$src/FONTY.font"
cat >"$src/Shape.svg" <<'EOF'
<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">
  <defs><radialGradient id="g"><stop offset="0" stop-color="#ff40ff"/><stop offset="1" stop-color="#2040a0"/></radialGradient></defs>
  <circle cx="10" cy="10" r="8.3" fill="url(#g)" opacity="0.9"/>
</svg>
EOF
out=$dir/data/tx99.dat
pack_into "$out" "$src" || fail "packing good sources: $(cat "$dir/pack.err")"
[ "$(objects "$out")" = "Doc FONTY LEVEL Shape " ] || fail "objects are: $(objects "$out")"
dat -007 "$password" -e "$out" Doc -o "$dir/Doc.out" >/dev/null 2>&1 || true
cmp -s "$dir/Doc.out" "$src/Doc.xml" || fail "the document's bytes changed"
dat -007 "$password" -e "$out" FONTY -o "$dir/FONTY.out" >/dev/null 2>&1 || true
cmp -s "$dir/FONTY.out" "$(cat "$src/FONTY.font")" || fail "the font's bytes changed"
# Every pixel is exact pink or an opaque colour of the drawing, never a blend with pink.
fringe=$(convert "$dir/work/bitmaps/Shape.bmp" txt:- | tail -n +2 |
  awk '{c=$3; if (c != "#FF00FF" && substr(c,2,2) > "C0" && substr(c,4,2) < "40" && substr(c,6,2) > "C0") n++} END {print n+0}')
[ "$fringe" -eq 0 ] || fail "$fringe near-pink pixels around the bitmap"
pink=$(convert "$dir/work/bitmaps/Shape.bmp" txt:- | grep -c '#FF00FF' || true)
[ "$pink" -gt 0 ] || fail "no transparent pixels in the bitmap"

# --- a failing source leaves the datafile as it was -------------------------
cp "$out" "$dir/before.dat"
echo "not a picture" >"$src/Broken.png"
pack_into "$out" "$src" && fail "a broken picture was packed"
rm "$src/Broken.png"
echo x >"$src/NOTES.doc"
pack_into "$out" "$src" && fail "a source without a conversion was packed"
grep -q "NOTES.doc" "$dir/pack.err" || fail "the failure does not name the source"
rm "$src/NOTES.doc"
cmp -s "$out" "$dir/before.dat" || fail "a failed packing changed the datafile"
[ "$(ls "$dir/data")" = "tx99.dat" ] || fail "temporary files left in data/: $(ls "$dir/data")"

# --- the data check ---------------------------------------------------------
# The game's own sources and data pass; a copy of them is then broken.
root=$(cd "$(dirname "$0")/.." && pwd)
game=$dir/game
mkdir -p "$game"
cp -r "$root/assets" "$root/data" "$game/"
"$datacheck" "$game" >/dev/null 2>"$dir/check.err" || fail "the game's own directory fails: $(cat "$dir/check.err")"

sed -i 's/sound2="RETURN"/sound2="MISSING"/' "$game/assets/tx15/SONIDOS.xml"
"$datacheck" "$game" >/dev/null 2>"$dir/check.err" && fail "a broken reference passes the check"
grep -q 'SONIDOS.*"MISSING" in data/tx11.dat' "$dir/check.err" ||
  fail "the message does not name document, object and datafile: $(cat "$dir/check.err")"
sed -i 's/sound2="MISSING"/sound2="RETURN"/' "$game/assets/tx15/SONIDOS.xml"
printf '<Sound><menu archivo="x></Sound>' >"$game/assets/tx15/BROKEN.xml"
"$datacheck" "$game" >/dev/null 2>"$dir/check.err" && fail "a document that does not parse passes the check"
grep -q 'BROKEN.xml: line 1' "$dir/check.err" || fail "no position for the parse error: $(cat "$dir/check.err")"

[ "$failures" -eq 0 ] && echo "pipeline: all checks passed"
exit "$failures"
