#!/usr/bin/env bash
# Lines of code, without blanks and comments (counted by cloc), of the game
# (src/, tools/, bench/) and of its tests (tests/), by language, and how the
# two compare. The last line reads: tests T; code C; ratio R
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
command -v cloc >/dev/null || { echo "code-stats: cloc is missing (make deps installs it)" >&2; exit 1; }
cd "$root"

# Prints the lines of each language of the given directories, then their sum
# alone on the last line.
count() {
  cloc --quiet --csv "$@" | awk -F, '$2 == "SUM" { sum = $5 }
      $2 != "" && $2 != "language" && $2 != "SUM" { printf "  %-14s %6d\n", $2, $5 }
      END { print sum }'
}

game=$(count src tools bench)
suite=$(count tests)
echo "code (src/ tools/ bench/):"; sed '$d' <<<"$game"
echo "tests (tests/):"; sed '$d' <<<"$suite"
code=$(tail -1 <<<"$game") tests=$(tail -1 <<<"$suite")
echo "tests $tests; code $code; ratio $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')"
