#!/usr/bin/env bash
# Builds the release vigilc and the core benchmark, then:
#  1. runs the core benchmark (script MB/s and lines/s), the simulator's
#     10 000-event scenario and the language server's re-check of a 1 MB
#     script;
#  2. times one whole vigilc run on a maximal legal script (a code buffer just
#     below the 12 000-byte limit) beside a cp of the same file: the I/O floor.
# Uses hyperfine when installed, else a loop timed with date +%s%N.
#   bench/run.sh              build dirs build/release and build/bench
#   BUILD_DIR=... BENCH_DIR=... bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev

build_dir="${BUILD_DIR:-build/release}"
bench_dir="${BENCH_DIR:-build/bench}"
cmake --preset release -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target vigilc >/dev/null
cmake --preset bench -B "$bench_dir" >/dev/null
cmake --build "$bench_dir" --target core_bench lsp_bench capi_pages >/dev/null
cmake --build "$build_dir" --target vigil >/dev/null
vigilc="$(pwd)/$build_dir/src/cli/vigilc"

echo "== Core throughput"
"$bench_dir/bench/core_bench" 2>/dev/null
cmake --build "$bench_dir" --target sim_bench >/dev/null
echo "== Simulator: one 10 000-event scenario (goal: under a second)"
"$bench_dir/bench/sim_bench" 2>/dev/null

echo "== Language server, 1 MB script: re-check after a keystroke (goal: 50 ms),"
echo "   semantic tokens of a 60-line range (goal: 10 ms)"
"$bench_dir/bench/lsp_bench" 2>/dev/null

echo "== Checking scripts of many errors"
bench/check_scale.sh "$(pwd)/$build_dir/src/cli/vigil" "$(pwd)/$bench_dir/bench/capi_pages"

cmake --build "$bench_dir" --target analysis_bench >/dev/null
echo "== Path analysis: decision tables of a 3000-line site script (goal: under a second),"
echo "   and the cost against the IFs of one event (in a row: 2^N paths; nested: N + 1)"
"$bench_dir/bench/analysis_bench" 2>/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# A site script: a header, then door blocks until the code is nearly full.
header() {
  printf 'MODULE PANEL = PANEL,0\r\n'
  printf 'PARTITION OFFICES = OFFICES,101,1,100\r\n'
  printf 'DEFINE MARK LATE = Card outside office hours\r\n'
  printf 'DEFINE REGISTER VISITS\r\n'
  for door in $(seq 1 60); do
    printf 'MODULE DOOR%d = DOOR%d,%d,0,2,5,30,10,1\r\n' "$door" "$door" "$door"
  done
}
block() {
  local door=$(($1 % 60 + 1))
  printf '; door %d\r\n' "$door"
  printf 'EVENT DOOR%d.VALID\r\n' "$door"
  printf '  IF TIMEPLAN(%d)\r\n' $(($1 % 64 + 1))
  printf '    IF OFFICES.ARMED = ON\r\n'
  printf '      OFFICES.SYSTEMKEY = CDISARM\r\n'
  printf '    ENDIF\r\n'
  printf '    DOOR()\r\n'
  printf '    VISITS = VISITS + 1\r\n'
  printf '  ELSE\r\n'
  printf '    MARK(LATE)\r\n'
  printf '    BEEP = ON\r\n'
  printf '    DELAY(3)\r\n'
  printf '    BEEP = OFF\r\n'
  printf '  ENDIF\r\n'
  printf 'EVENTEND\r\n'
}
site() {
  header
  for i in $(seq 1 "$1"); do block "$i"; done
}
code_bytes() {
  site "$1" >probe.txt
  "$vigilc" probe.txt >/dev/null 2>&1 || true
  tr -d '\r' <probe.LST | sed -n 's/^Bytes = //p'
}
one=$(code_bytes 1)
two=$(code_bytes 2)
blocks=$(((11999 - one) / (two - one) + 1))
site "$blocks" >site.txt
"$vigilc" site.txt >/dev/null
bytes=$(tr -d '\r' <site.LST | sed -n 's/^Bytes = //p')
errors=$(tr -d '\r' <site.LST | sed -n 's/^Errors = //p')
echo
echo "== Whole process on a maximal script: $(wc -c <site.txt) bytes of script," \
  "$bytes bytes of code, $errors errors"

if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 20 --min-runs 300 --export-csv times.csv \
    "$vigilc site.txt" "cp site.txt copy.txt"
  vigilc_mean=$(awk -F, 'NR == 2 { print $2 }' times.csv)
  cp_mean=$(awk -F, 'NR == 3 { print $2 }' times.csv)
else
  runs=300
  mean_of() {
    local start end
    for _ in $(seq 1 20); do "$@" >/dev/null; done
    start=$(date +%s%N)
    for _ in $(seq 1 "$runs"); do "$@" >/dev/null; done
    end=$(date +%s%N)
    awk -v ns=$((end - start)) -v runs="$runs" 'BEGIN { print ns / runs / 1e9 }'
  }
  vigilc_mean=$(mean_of "$vigilc" site.txt)
  cp_mean=$(mean_of cp site.txt copy.txt)
fi
awk -v v="$vigilc_mean" -v c="$cp_mean" 'BEGIN {
  printf "vigilc  %8.3f ms\ncp      %8.3f ms\nratio   %8.2f (target: within 2x of cp)\n",
    v * 1000, c * 1000, v / c
}'
