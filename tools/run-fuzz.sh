#!/usr/bin/env bash
# Fuzzes every target for SECONDS seconds in all: builds the libFuzzer targets with
# clang in build-fuzz/, gives each an equal share of the time, and exits non-zero
# when any of them finds anything. Seeds:
#   fuzz_xml        tests/fuzz/corpus/xml and every document under assets/
#   fuzz_level      the collision texts under assets/
#   fuzz_documents  the documents of assets/tx15/, each behind its kind's selector byte
#   fuzz_datafile   the smallest datafiles of data/ (tx09, tx08, tx15)
set -euo pipefail

if [[ $# -ne 1 || ! $1 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 SECONDS" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
targets=(fuzz_xml fuzz_level fuzz_documents fuzz_datafile)
share=$(( $1 / ${#targets[@]} ))
(( share > 0 )) || share=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTVX_FUZZ=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" -j2 --target "${targets[@]}"; } >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    echo "run-fuzz: the fuzz targets did not build" >&2
    exit 1
fi

# The document kinds in the order of fuzz_documents' selector byte.
kinds=(NIVEL PERSONAJES ITEMS ELEMENTOS_ES SEL_PERSONAJE ESCENAS SONIDOS LENGUAJES
       MENU TEXTOS LABELS MARCADORES CREDITOS CAJAS)
selector_of() { # NAME -> the selector of its kind ("MENU_EN" is a MENU), or nothing
    local i
    for i in "${!kinds[@]}"; do
        if [[ $1 == "${kinds[$i]}" || $1 == "${kinds[$i]}"_* ]]; then
            echo "$i"
            return
        fi
    done
}

for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
done
cp "$root"/tests/fuzz/corpus/xml/* "$work/fuzz_xml"/
n=0
while IFS= read -r -d '' file; do
    n=$((n + 1))
    first=$(head -c 4096 "$file" | tr -d ' \t\r\n' | head -c 1 || true)
    [[ $first == "<" ]] && cp "$file" "$work/fuzz_xml/asset_${n}_$(basename "$file")"
    head -c 14 "$file" | grep -q '^Tarvelix-level' &&
        cp "$file" "$work/fuzz_level/asset_${n}_$(basename "$file")"
done < <(find "$root/assets" -type f -print0)
for file in "$root"/assets/tx15/*.xml; do
    name=$(basename "$file" .xml)
    selector=$(selector_of "$name")
    [[ -n $selector ]] || continue
    { printf "\\$(printf '%03o' "$selector")"; cat "$file"; } >"$work/fuzz_documents/$name"
done
# fuzz_datafile: an even first byte damages a datafile, an odd one the list.
{ printf '\000'; cat "$root"/data/tx08.dat; } >"$work/fuzz_datafile/tx08.dat"
{ printf '\001'; cat "$root"/data/datafiles.cksum; } >"$work/fuzz_datafile/datafiles.cksum"

# Findings (crashing, leaking or slow inputs) are kept in build-fuzz/findings/ for replay:
#   build-fuzz/tests/fuzz/TARGET build-fuzz/findings/TARGET-crash-...
mkdir -p "$build/findings"
failed=0
for target in "${targets[@]}"; do
    echo "run-fuzz: $target: $(ls "$work/$target" | wc -l) seeds, ${share}s"
    status=0
    "$build/tests/fuzz/$target" "$work/$target" -max_total_time="$share" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=1 \
        -artifact_prefix="$build/findings/$target-" </dev/null >"$work/$target.log" 2>&1 || status=$?
    if [[ $status -ne 0 ]]; then
        grep -v -E '^#[0-9]+|NEW_FUNC' "$work/$target.log" | tail -n 40 >&2
        echo "run-fuzz: $target found a problem (status $status); inputs in $build/findings/" >&2
        failed=1
        continue
    fi
    grep -E '^(stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|Done)' \
        "$work/$target.log" | sed "s/^/  /" || true
    grep -E '^#[0-9]+' "$work/$target.log" | tail -n 1 | grep -o 'cov: [0-9]* ft: [0-9]*' | sed "s/^/  /" || true
done
if [[ $failed -ne 0 ]]; then
    exit 1
fi
echo "run-fuzz: nothing found"
