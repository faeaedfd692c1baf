#!/usr/bin/env bash
# plant-faults.sh [-j N] [FAULT_NUMBERS...]
# plant-faults.sh --check
#
# How many realistic mistakes do the unit tests notice? Each fault listed in
# tools/faults.txt is planted alone in a scratch copy of the tree, the unit-test
# binary is rebuilt and run, and the fault counts as caught when a test fails,
# hangs or crashes, as survived when every test still passes.
#
# The scratch copies live in build-faults/: tree/ holds the tracked files and
# data/, build/ a Release build of tarvelix_tests only. With -j N, N copies
# (tree-2/, build-2/, ...) work on different faults at the same time. Copies and
# builds left by an earlier run are reused: only changed files are copied again.
#
# Without fault numbers every fault of the list is tried. --check only checks
# that every fault's text occurs exactly once in its file, without building.

# The whole script is one block: bash reads it completely before running it, so
# editing this file during a long run cannot change the run.
{
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
list=${FAULTS_LIST:-$root/tools/faults.txt} # another list for trying the script
work=$root/build-faults
slots=1
check_only=0
usage() { echo "usage: $0 [-j N] [FAULT_NUMBERS...] | --check" >&2; exit 2; }
if [ "${1:-}" = "--check" ]; then
    check_only=1
    shift
fi
while getopts "j:h" opt; do
    case $opt in
        j) slots=$OPTARG ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[[ $slots =~ ^[1-9][0-9]*$ ]] || usage

# The same environment as ctest gives the unit tests (tests/CMakeLists.txt).
export ASAN_OPTIONS=allocator_may_return_null=1
TEST_TIMEOUT=300 # seconds, as the unit tests' TIMEOUT property
# One slot may use both cores; several slots share them.
build_jobs=$((slots == 1 ? 2 : 1))

# --- the list -----------------------------------------------------------------
# Blocks of three lines separated by blank lines; '#' lines are comments.
#   FILE KIND
#   text that occurs exactly once in FILE
#   its faulty replacement ("(deleted)" for nothing)
# Leading indentation and trailing blanks of the last two lines are ignored.
f_file=() f_kind=() f_pat=() f_rep=() f_line=()
parse_list() {
    local n=0 lineno=0 line block=() start=0
    flush() {
        [ ${#block[@]} -eq 0 ] && return
        if [ ${#block[@]} -ne 3 ]; then
            echo "$list:$start: a fault needs 3 lines, this block has ${#block[@]}" >&2
            exit 2
        fi
        read -r f_file[n] f_kind[n] <<<"${block[0]}"
        f_pat[n]=${block[1]}
        f_rep[n]=${block[2]}
        [ "${f_rep[n]}" = "(deleted)" ] && f_rep[n]=""
        f_line[n]=$start
        n=$((n + 1))
        block=()
    }
    while IFS= read -r line || [ -n "$line" ]; do
        lineno=$((lineno + 1))
        [[ $line =~ ^[[:space:]]*# ]] && continue
        line=${line#"${line%%[![:space:]]*}"}  # leading indentation
        line=${line%"${line##*[![:space:]]}"}  # trailing blanks
        if [ -z "$line" ]; then
            flush
            continue
        fi
        [ ${#block[@]} -eq 0 ] && start=$lineno
        block+=("$line")
    done <"$list"
    flush
}
parse_list
total=${#f_file[@]}
[ "$total" -gt 0 ] || { echo "no faults in $list" >&2; exit 2; }

# Fault numbers count from 1, in the order of the list.
chosen=()
if [ $# -eq 0 ]; then
    for ((i = 1; i <= total; i++)); do chosen+=("$i"); done
else
    for i in "$@"; do
        [[ $i =~ ^[0-9]+$ ]] && [ "$i" -ge 1 ] && [ "$i" -le "$total" ] ||
            { echo "no fault number $i (the list has $total)" >&2; exit 2; }
        chosen+=("$i")
    done
fi

# Counts the pattern in FILE; with a replacement, writes the changed file.
# Exit status: 0 when the pattern occurs exactly once, 1 otherwise.
replace_once() { # FILE PATTERN [REPLACEMENT]
    python3 - "$@" <<'EOF'
import sys
path, pattern = sys.argv[1], sys.argv[2]
with open(path, encoding="utf-8") as f:
    text = f.read()
if text.count(pattern) != 1:
    print(text.count(pattern))
    sys.exit(1)
if len(sys.argv) > 3:
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(pattern, sys.argv[3]))
EOF
}

if [ "$check_only" = 1 ]; then
    bad=0
    for ((i = 0; i < total; i++)); do
        if [ ! -f "$root/${f_file[i]}" ]; then
            printf '%3d %s line %d: no such file\n' $((i + 1)) "${f_file[i]}" "${f_line[i]}"
            bad=$((bad + 1))
        elif ! n=$(replace_once "$root/${f_file[i]}" "${f_pat[i]}"); then
            printf '%3d %s line %d: found %s times: %s\n' $((i + 1)) "${f_file[i]}" "${f_line[i]}" \
                "$n" "${f_pat[i]}"
            bad=$((bad + 1))
        fi
    done
    echo "$total faults, $bad invalid"
    [ "$bad" -eq 0 ]
    exit
fi

# --- scratch copies -----------------------------------------------------------
slot_tree() { [ "$1" -eq 1 ] && echo "$work/tree" || echo "$work/tree-$1"; }
slot_build() { [ "$1" -eq 1 ] && echo "$work/build" || echo "$work/build-$1"; }

# Copies the tracked files (and data/) into the slot's tree. A file is copied
# only when it differs, so a file copied afresh is newer than its object and
# rebuilt, and an unchanged one is not.
prepare_slot() { # SLOT
    local tree build
    tree=$(slot_tree "$1")
    build=$(slot_build "$1")
    mkdir -p "$tree"
    (cd "$root" && git ls-files -z) | while IFS= read -r -d '' f; do
        [ -f "$root/$f" ] || continue
        if ! cmp -s "$root/$f" "$tree/$f"; then
            mkdir -p "$tree/$(dirname "$f")"
            cp "$root/$f" "$tree/$f"
        fi
    done
    mkdir -p "$tree/data"
    cp -ru "$root/data/." "$tree/data/"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        nice -n 19 cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Release \
            >"$build.configure.log" 2>&1 ||
            { echo "configuring $build failed, see $build.configure.log" >&2; return 1; }
    fi
    nice -n 19 cmake --build "$build" --target tarvelix_tests -j "$build_jobs" \
        >"$build.log" 2>&1 ||
        { echo "the unmodified tree does not build, see $build.log" >&2; return 1; }
    run_tests "$1" >"$build.tests.log" 2>&1 ||
        { echo "the unit tests fail on the unmodified tree, see $build.tests.log" >&2; return 1; }
}

# The unit-test binary run from the tree's root, as ctest does; it stops at the
# first failing test.
run_tests() { # SLOT
    (cd "$(slot_tree "$1")" &&
        timeout "$TEST_TIMEOUT" nice -n 19 "$(slot_build "$1")/tests/tarvelix_tests" \
            --gtest_fail_fast --gtest_brief=1)
}

# --- one fault ----------------------------------------------------------------
results=$work/results
try_fault() { # SLOT NUMBER
    local slot=$1 k=$2 i=$(($2 - 1)) tree build file result how="" rc t0 t2
    tree=$(slot_tree "$slot")
    build=$(slot_build "$slot")
    file=$tree/${f_file[i]}
    t0=$(date +%s)
    if [ ! -f "$file" ]; then
        result=invalid
    elif ! replace_once "$file" "${f_pat[i]}" "${f_rep[i]}" >/dev/null; then
        result=invalid
    elif ! nice -n 19 cmake --build "$build" --target tarvelix_tests -j "$build_jobs" \
        >"$results/$k.build.log" 2>&1; then
        result=did-not-build
    else
        run_tests "$slot" >"$results/$k.tests.log" 2>&1
        rc=$?
        if [ "$rc" -eq 0 ]; then
            result=survived
        else
            result=caught
            how=$(caught_by "$results/$k.tests.log" "$rc")
        fi
    fi
    # Back to the original, newer than the object built from the fault.
    [ -f "$root/${f_file[i]}" ] && cp "$root/${f_file[i]}" "$file" && touch "$file"
    t2=$(date +%s)
    echo "$result" >"$results/$k"
    printf '%3d %-13s %-28s %-18s %4ds %s\n' "$k" "$result" "${f_file[i]}" "${f_kind[i]}" \
        $((t2 - t0)) "$how"
}

# What noticed the fault: the first failing test, else the timeout or the crash.
caught_by() { # TEST_LOG EXIT_STATUS
    local test
    test=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$1" | head -n 1)
    if [ -n "$test" ]; then
        echo "$test"
    elif [ "$2" -eq 124 ]; then
        echo "(timeout)"
    elif [ "$2" -gt 128 ] && [ "$2" -le 192 ]; then # the shell's 128 + signal number
        echo "(crash, signal $(($2 - 128)))"
    else
        echo "(exit status $2)"
    fi
}

# --- the run ------------------------------------------------------------------
start=$(date +%s)
mkdir -p "$work"
rm -rf "$results"
mkdir -p "$results"
echo "preparing $slots scratch build(s) in $work"
pids=()
for ((s = 1; s <= slots; s++)); do
    prepare_slot "$s" &
    pids+=($!)
done
for p in "${pids[@]}"; do
    wait "$p" || exit 1
done
echo "unmodified tree: unit tests pass ($(($(date +%s) - start)) s); trying ${#chosen[@]} fault(s)"

# Slot s takes every slots-th chosen fault.
pids=()
for ((s = 1; s <= slots; s++)); do
    (
        for ((c = s - 1; c < ${#chosen[@]}; c += slots)); do
            try_fault "$s" "${chosen[c]}"
        done
    ) &
    pids+=($!)
done
for p in "${pids[@]}"; do wait "$p"; done

caught=0 tried=0 survivors=() broken=() invalid=()
for k in "${chosen[@]}"; do
    i=$((k - 1))
    r=$(cat "$results/$k" 2>/dev/null || echo missing)
    # Where the text stands in the source, for finding it at once.
    at=$(grep -nF -- "${f_pat[i]}" "$root/${f_file[i]}" 2>/dev/null | head -n 1 | cut -d: -f1)
    desc="$(printf '%3d %s:%s (%s): %s' "$k" "${f_file[i]}" "${at:-?}" "${f_kind[i]}" "${f_pat[i]}")"
    case $r in
        caught) caught=$((caught + 1)); tried=$((tried + 1)) ;;
        survived) tried=$((tried + 1)); survivors+=("$desc") ;;
        did-not-build) broken+=("$desc") ;;
        *) invalid+=("$desc") ;;
    esac
done
echo
echo "caught $caught of $tried ($(($(date +%s) - start)) s)"
if [ ${#survivors[@]} -gt 0 ]; then
    echo "survived:"
    printf '  %s\n' "${survivors[@]}"
fi
if [ ${#broken[@]} -gt 0 ]; then
    echo "did not build (fix the list; logs in $results/NUMBER.build.log):"
    printf '  %s\n' "${broken[@]}"
fi
if [ ${#invalid[@]} -gt 0 ]; then
    echo "invalid (file missing or text not found exactly once):"
    printf '  %s\n' "${invalid[@]}"
fi
[ ${#broken[@]} -eq 0 ] && [ ${#invalid[@]} -eq 0 ]
exit
}
