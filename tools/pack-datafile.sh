#!/usr/bin/env bash
# pack-datafile.sh OUT.dat SOURCE_DIR WORK_DIR PASSWORD_FILE [SFX_TOOL]
# Packs one asset directory into one password-protected datafile. Every regular
# file NAME.ext of SOURCE_DIR becomes the object NAME, converted by its extension:
#   .xml .txt  the bytes, as a raw DATA object
#   .font      the bytes of the system font whose path is the file's first line
#   .sfx       the WAV that SFX_TOOL synthesises from the recipe
#   .svg .png  a 24-bit bitmap, transparency made exact pink (255, 0, 255)
# The datafile is built beside OUT and renamed over it only when every step
# succeeded and it holds one object per source, so a failure never leaves a
# truncated or partial datafile behind.
set -euo pipefail

out=$1 src=$2 work=$3 password_file=$4 sfx_tool=${5:-}
password=$(cat "$password_file")
label="${out##*/}"

fail() {
  echo "pack-datafile: $label: $*" >&2
  exit 1
}

# dat speaks only on failure: its chatter goes to a log shown then.
# run_dat COMPRESSION ARGS...: dat rewrites the whole file on every call, so
# objects go in uncompressed (-c0) and one last pass compresses it (-c1).
run_dat() {
  local status=0 compression=$1
  shift
  dat -007 "$password" "$compression" -k -s1 "$@" >"$work/dat.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$work/dat.log" >&2
    fail "dat failed (status $status)"
  fi
}

to_bitmap() { # PNG -> 24-bit BMP3 with alpha thresholded at 50% over exact pink
  convert "$1" -channel A -threshold 50% +channel -background '#ff00ff' \
    -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

rm -rf "$work"
mkdir -p "$work/raw" "$work/bitmaps" "$work/render"

shopt -s nullglob
declare -A seen=()
raw=() bitmaps=()
for f in "$src"/*; do
  [ -f "$f" ] || continue
  base=${f##*/}
  name=${base%.*}
  ext=${base##*.}
  [ "$name" != "$base" ] && [ -n "$name" ] || fail "$base has no extension to choose its conversion"
  key=${name^^} # the game finds objects ignoring case
  [ -z "${seen[$key]:-}" ] || fail "$base and ${seen[$key]} both make the object $name"
  seen[$key]=$base
  case $ext in
    xml | txt)
      cp "$f" "$work/raw/$name"
      raw+=("$work/raw/$name") ;;
    font)
      font=$(head -n 1 "$f")
      [ -f "$font" ] || fail "$base names $font, which is not installed (tools/install-deps.sh)"
      cp "$font" "$work/raw/$name"
      raw+=("$work/raw/$name") ;;
    sfx)
      [ -n "$sfx_tool" ] || fail "$base needs the sound synthesiser tvx_sfx, which is not built"
      "$sfx_tool" "$f" "$work/render/$name.wav" || fail "tvx_sfx failed on $base"
      mv "$work/render/$name.wav" "$work/raw/$name"
      raw+=("$work/raw/$name") ;;
    svg)
      rsvg-convert "$f" -o "$work/render/$name.png" || fail "rsvg-convert failed on $base"
      to_bitmap "$work/render/$name.png" "$work/bitmaps/$name.bmp" || fail "convert failed on $base"
      bitmaps+=("$name") ;;
    png)
      to_bitmap "$f" "$work/bitmaps/$name.bmp" || fail "convert failed on $base"
      bitmaps+=("$name") ;;
    *)
      fail "$base: no conversion for .$ext" ;;
  esac
done
count=$(( ${#raw[@]} + ${#bitmaps[@]} ))
[ "$count" -gt 0 ] || fail "$src holds no sources"

mkdir -p "$(dirname "$out")"
tmp=$(mktemp "$out.XXXXXX")
trap 'rm -f "$tmp"' EXIT
rm -f "$tmp" # dat creates it afresh
if [ ${#raw[@]} -gt 0 ]; then
  run_dat -c0 "$tmp" -a "${raw[@]}" -t DATA
fi
if [ ${#bitmaps[@]} -gt 0 ]; then
  # dat picks the bitmap reader by extension, and -k keeps it in the name:
  # each bitmap goes in as NAME.bmp and is then renamed to NAME.
  paths=()
  for name in "${bitmaps[@]}"; do paths+=("$work/bitmaps/$name.bmp"); done
  run_dat -c0 "$tmp" -a "${paths[@]}" -t BMP -bpp 24
  for name in "${bitmaps[@]}"; do run_dat -c0 "$tmp" "$name.bmp" "NAME=$name"; done
fi
run_dat -c1 "$tmp"

listed=$(dat -007 "$password" -l "$tmp" | grep -c '^- ' || true)
[ "$listed" -eq "$count" ] || fail "datafile lists $listed objects for $count sources"
mv -f "$tmp" "$out"
trap - EXIT
echo "Packed $label (objects: $count)"
