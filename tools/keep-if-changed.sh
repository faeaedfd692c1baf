#!/usr/bin/env bash
# keep-if-changed.sh OUT COMMAND [ARGS...]
# Runs the command and writes what it prints to OUT only when that differs from
# what OUT holds, so that whatever depends on OUT is rebuilt only on a real change
# (a tool relinked with the same bytes, a password that stayed the same).
set -euo pipefail
out=$1
shift
mkdir -p "$(dirname "$out")"
"$@" >"$out.new"
if cmp -s "$out.new" "$out"; then
  rm -f "$out.new"
else
  mv -f "$out.new" "$out"
fi
