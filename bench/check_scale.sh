#!/usr/bin/env bash
# What checking costs where it used to grow with the number of errors:
#  1. vigil check, in every format, on a 1 MB site script with one typo on its
#     first EVENT line (goal: under 0.15 s);
#  2. peak memory of vigil check in text, JSON and SARIF and of the C API read
#     a page at a time, on 50 MB of wrong lines (goal: under 400 MB each).
# Called by bench/run.sh with the release vigil and the bench build's
# capi_pages:  bench/check_scale.sh VIGIL CAPI_PAGES
set -euo pipefail
vigil="$(realpath "$1")"
capi_pages="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

header() {
  printf 'MODULE PANEL = PANEL,0\r\nDEFINE REGISTER VISITS\r\nDEFINE MARK LATE = Late\r\n'
  for door in $(seq 1 60); do
    printf 'MODULE DOOR%d = DOOR%d,%d,0,2,5,30,10\r\n' "$door" "$door" "$door"
  done
}
block() {
  printf 'EVENT DOOR%d.VALID\r\n  IF TIMEPLAN(2)\r\n    DOOR()\r\n    VISITS = VISITS + 1\r\n' "$1"
  printf '  ELSE\r\n    MARK(LATE)\r\n  ENDIF\r\nEVENTEND\r\n'
}
for door in $(seq 1 60); do block "$door"; done >round.txt
{
  header
  printf 'EVENT DOR1.VALID\r\n  DOOR()\r\nEVENTEND\r\n'
  for _ in $(seq 1 $((1000000 / $(wc -c <round.txt) + 1))); do cat round.txt; done
} >typo.txt

peak() { /usr/bin/time -f '%e s, peak %M KB' "$@" >/dev/null 2>time.txt || true; tail -1 time.txt; }

echo "== vigil check on $(wc -c <typo.txt) bytes with a typo on the first EVENT line (goal: 0.15 s)"
for format in text json sarif; do
  echo "  --format=$format: $(peak "$vigil" check --format=$format typo.txt)"
done
echo "  --all: $(peak "$vigil" check --all typo.txt)"

head -c 52428800 < <(yes 'ZZZZZZZ' | sed 's/$/\r/') >wrong.txt
echo "== 50 MB of wrong lines (goal: under 400 MB peak in every form)"
for format in text json sarif; do
  echo "  vigil check --format=$format: $(peak "$vigil" check --format=$format wrong.txt)"
done
echo "  $("$capi_pages" wrong.txt)"
