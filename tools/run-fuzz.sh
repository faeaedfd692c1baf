#!/usr/bin/env bash
# Fuzzes the document parser for SECONDS seconds: builds the libFuzzer target with
# clang in build-fuzz/, seeds it with tests/fuzz/corpus/xml and every document
# under assets/, and exits non-zero when the fuzzer finds anything.
set -euo pipefail

if [[ $# -ne 1 || ! $1 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 SECONDS" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTVX_FUZZ=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j2 --target fuzz_xml; } >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    echo "run-fuzz: the fuzz target did not build" >&2
    exit 1
fi

# Seeds: the hand-written documents, then every file under assets/ that looks like
# a document (its first non-blank character is '<'), whatever its extension.
corpus=$work/corpus
mkdir -p "$corpus"
cp "$root"/tests/fuzz/corpus/xml/* "$corpus"/
seeds=0
if [[ -d $root/assets ]]; then
    while IFS= read -r -d '' file; do
        first=$(head -c 4096 "$file" | tr -d ' \t\r\n' | head -c 1 || true)
        if [[ $first == "<" ]]; then
            seeds=$((seeds + 1))
            cp "$file" "$corpus/asset_${seeds}_$(basename "$file")"
        fi
    done < <(find "$root/assets" -type f -print0)
fi
echo "run-fuzz: $(ls "$corpus" | wc -l) seeds ($seeds from assets/), ${seconds}s"

# Findings (crashing inputs) are kept in build-fuzz/findings/ for replay:
#   build-fuzz/tests/fuzz/fuzz_xml build-fuzz/findings/crash-...
mkdir -p "$build/findings"
status=0
"$build/tests/fuzz/fuzz_xml" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/findings/" >"$work/fuzz.log" 2>&1 || status=$?
if [[ $status -ne 0 ]]; then
    grep -v -E '^#[0-9]+' "$work/fuzz.log" | tail -n 60 >&2
    echo "run-fuzz: the fuzzer found a problem (status $status); inputs in $build/findings/" >&2
    exit 1
fi
grep -E '^(stat::|Done|INFO: (Loaded|seed corpus))' "$work/fuzz.log" || true
echo "run-fuzz: nothing found"
