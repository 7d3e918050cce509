#!/usr/bin/env bash
# Line coverage of src/ by the whole test suite: builds the coverage preset
# (gcov instrumentation, no optimisation), runs the tests and prints the
# coverage of every file of src/ and the total. With gcovr (Debian package
# gcovr) the table also lists the uncovered lines of each file; without it,
# plain gcov gives the percentages.
#   tools/coverage.sh                 build dir build/coverage
#   COVERAGE_DIR=build/mine tools/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

dir="${COVERAGE_DIR:-build/coverage}"
cmake --preset coverage -B "$dir" >/dev/null
cmake --build "$dir"
# Counts from an earlier run would add up with this one's.
find "$dir" -name '*.gcda' -delete
ctest --test-dir "$dir" --output-on-failure -j 2 || echo "(some tests failed; coverage follows)"

echo
echo "== Line coverage of src/"
if command -v gcovr >/dev/null; then
  gcovr --root . --filter 'src/' --txt - "$dir"
else
  find "$dir/src" -name '*.gcda' | while read -r data; do
    (cd "$(dirname "$data")" && gcov -n "$(basename "$data")" 2>/dev/null)
  done | awk '
    /^File / { file = $2; gsub("\047", "", file) }
    /^Lines executed:/ && file ~ /\/src\// {
      split($2, parts, "%"); sub("executed:", "", parts[1]); total = $4
      if (!(file in seen)) {
        seen[file] = 1
        covered = parts[1] * total / 100
        sum_lines += total; sum_covered += covered
        printf "%-50s %6.1f%% of %d\n", substr(file, index(file, "/src/") + 1), parts[1], total
      }
    }
    END { if (sum_lines) printf "TOTAL %44.1f%% of %d lines\n", 100 * sum_covered / sum_lines, sum_lines }
  ' | sort
fi
