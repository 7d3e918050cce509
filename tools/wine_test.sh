#!/usr/bin/env bash
# Cross-builds vigilc.exe and vigil.exe (the windows preset), checks that they
# import only system DLLs, and runs them under wine beside the Linux programs
# (the package preset): every example and fuzz seed gives the same four files
# (the listing's Date line aside), the same output and the same exit status;
# a second run replaces existing files; backslash folders, a drive letter,
# blanks and non-ASCII names work; vigil check prints what the Linux vigil
# prints; the four files are written all or nothing, one run at a time. Skips with one line where mingw-w64 or wine cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh
if ! (ensure_packages "${WINDOWS_PACKAGES[@]}") || ! command -v wine >/dev/null; then
  echo "wine: skipped, mingw-w64 or wine cannot be installed" >&2
  exit 0
fi
started=$SECONDS

cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset package >/dev/null
cmake --build --preset package
linux_vigilc="$PWD/build/package/src/cli/vigilc"
linux_vigil="$PWD/build/package/src/cli/vigil"
win_vigilc="$PWD/build/windows/src/cli/vigilc.exe"
win_vigil="$PWD/build/windows/src/cli/vigil.exe"

failures=0
fail() {
  echo "wine: FAIL: $*" >&2
  failures=$((failures + 1))
}

# One static file each: nothing but DLLs every Windows has.
for exe in "$win_vigilc" "$win_vigil"; do
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | msvcrt.dll | shell32.dll | user32.dll | advapi32.dll) ;;
      *) fail "$(basename "$exe") imports $dll" ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done

# One wine for the whole run, in a prefix of its own.
export WINEPREFIX="$PWD/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A persistent server first (or the one already serving this prefix), so
# that each run below need not start one.
wineserver -p 2>/dev/null || true
wineboot -i >/dev/null 2>&1
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# run DIR OUTNAME PROGRAM ARGS...: runs PROGRAM in DIR; stdout, stderr and
# the exit status go to DIR/OUTNAME.{out,err,status}.
run() {
  local dir="$1" name="$2"
  shift 2
  local status=0
  (cd "$dir" && "$@" >"$name.out" 2>"$name.err") || status=$?
  echo "$status" >"$dir/$name.status"
}

# Same bytes, the listing's Date line aside.
same_file() {
  local a="$1" b="$2"
  if [[ "$a" == *LST ]]; then
    cmp -s <(grep -av '^Date = ' "$a") <(grep -av '^Date = ' "$b")
  else
    cmp -s "$a" "$b"
  fi
}

# compare LABEL LINUX_DIR WINDOWS_DIR FILE...: each file alike in both.
compare() {
  local label="$1" linux="$2" windows="$3"
  shift 3
  local file
  for file in "$@"; do
    if [ ! -e "$linux/$file" ] && [ ! -e "$windows/$file" ]; then continue; fi
    same_file "$linux/$file" "$windows/$file" || fail "$label: $file differs"
  done
}

# Every seed and example: the four files, vigilc's output and status, and
# vigil check in every format, vigil dis of the download file; then a second
# run over the existing files.
index=0
for script in fuzz/corpus/*.txt examples/*.txt; do
  index=$((index + 1))
  base="$(basename "$script" .txt)"
  linux="$work/linux/$index" windows="$work/windows/$index"
  mkdir -p "$linux" "$windows"
  cp "$script" "$linux/" && cp "$script" "$windows/"
  run "$linux" vigilc "$linux_vigilc" "$base.txt"
  run "$windows" vigilc wine "$win_vigilc" "$base.txt"
  for format in text json sarif; do
    run "$linux" "check-$format" "$linux_vigil" check "$base.txt" "--format=$format"
    run "$windows" "check-$format" wine "$win_vigil" check "$base.txt" "--format=$format"
  done
  outputs=("$base.BIN" "$base.LST" "$base.ERR" "$base.SET")
  run "$linux" dis "$linux_vigil" dis "$base.BIN"
  run "$windows" dis wine "$win_vigil" dis "$base.BIN"
  compare "$script" "$linux" "$windows" "${outputs[@]}" vigilc.{out,err,status} \
    check-{text,json,sarif}.{out,err,status} dis.{out,err,status}
  for file in "${outputs[@]}"; do [ -f "$windows/$file" ] || fail "$script: no $file"; done
  run "$windows" again wine "$win_vigilc" "$base.txt"
  compare "$script, second run" "$linux" "$windows" vigilc.status "${outputs[@]}"
  cmp -s "$windows/vigilc.status" "$windows/again.status" || fail "$script: second run status"
done

# Bytes the text mode of a C runtime would change: CR LF kept, a Ctrl-Z
# (0x1A) in a comment, a lone LF inside a line.
linux="$work/linux/bytes" windows="$work/windows/bytes"
mkdir -p "$linux" "$windows"
printf 'MODULE PANEL = PANEL,0\r\n; stop \032 here?\r\nEVENT PANEL.TAMPER\r\n  PANEL.RELAY1 = ON\n\r\nEVENTEND\r\n' \
  | tee "$linux/raw.txt" >"$windows/raw.txt"
run "$linux" vigilc "$linux_vigilc" raw.txt
run "$windows" vigilc wine "$win_vigilc" raw.txt
compare "raw bytes" "$linux" "$windows" raw.BIN raw.LST raw.ERR raw.SET vigilc.{out,err,status}

# Paths: a backslash subfolder, a drive-letter absolute path (wine's Z: is
# /), a blank and non-ASCII characters in the folder and the file name.
linux="$work/linux/paths" windows="$work/windows/paths"
for dir in "$linux" "$windows"; do
  mkdir -p "$dir/sub" "$dir/Ort Süd"
  cp examples/office.txt "$dir/sub/site.txt"
  cp examples/alarm_site.txt "$dir/Ort Süd/Zentrale Nord ß.txt"
done
run "$linux" sub "$linux_vigilc" sub/site.txt
run "$windows" sub wine "$win_vigilc" 'sub\site.txt'
compare "backslash folder" "$linux/sub" "$windows/sub" site.BIN site.LST site.ERR site.SET
compare "backslash folder" "$linux" "$windows" sub.status
run "$linux" unicode "$linux_vigilc" "Ort Süd/Zentrale Nord ß.txt"
drive_path="Z:${windows//\//\\}\\Ort Süd\\Zentrale Nord ß.txt"
run "$windows" unicode wine "$win_vigilc" "$drive_path"
for ext in BIN LST ERR SET; do
  compare "drive letter, blank, non-ASCII" "$linux/Ort Süd" "$windows/Ort Süd" \
    "Zentrale Nord ß.$ext"
done
compare "drive letter, blank, non-ASCII" "$linux" "$windows" unicode.status
run "$windows" unicode-again wine "$win_vigil" build "$drive_path"
[ "$(cat "$windows/unicode-again.status")" = "$(cat "$linux/unicode.status")" ] ||
  fail "vigil build over existing files: status"
# A drive-relative path ("Z:site.txt", the current folder of drive Z:).
rm -f "$windows"/sub/site.{BIN,LST,ERR,SET}
run "$windows/sub" drive-relative wine "$win_vigilc" Z:site.txt
compare "drive-relative path" "$linux/sub" "$windows/sub" site.BIN site.LST site.ERR site.SET
cmp -s "$linux/sub.status" "$windows/sub/drive-relative.status" || fail "drive-relative path: status"
# A path past Windows' MAX_PATH of 260 characters: given relative, with
# backslashes, then as an absolute drive path (both go through \\?\).
long="$(printf 'folder_with_a_long_name_%02d/' $(seq 1 12))site.txt"
for dir in "$linux" "$windows"; do
  mkdir -p "$dir/$(dirname "$long")" && cp examples/office.txt "$dir/$long"
done
run "$linux" long "$linux_vigilc" "$long"
run "$windows" long wine "$win_vigilc" "${long//\//\\}"
compare "long path" "$linux/$(dirname "$long")" "$windows/$(dirname "$long")" \
  site.BIN site.LST site.ERR site.SET
cmp -s "$linux/long.status" "$windows/long.status" || fail "long path: status"
rm -f "$windows/$(dirname "$long")"/site.{BIN,LST,ERR,SET}
run "$windows" long-absolute wine "$win_vigilc" "Z:${windows//\//\\}\\${long//\//\\}"
compare "long absolute path" "$linux/$(dirname "$long")" "$windows/$(dirname "$long")" \
  site.BIN site.LST site.ERR site.SET
leftovers="$(find "$work/windows" -name '.vigilc-*')"
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

# Could not run: the same line on stderr and status 2 on both.
mkdir -p "$linux/dir.txt" "$windows/dir.txt" "$linux/t.BIN" "$windows/t.BIN"
cp examples/office.txt "$linux/t.txt" && cp examples/office.txt "$windows/t.txt"
for case in missing.txt dir.txt ab t.txt; do
  run "$linux" "cannot-$case" "$linux_vigilc" "$case"
  run "$windows" "cannot-$case" wine "$win_vigilc" "$case"
  compare "could not run ($case)" "$linux" "$windows" "cannot-$case".{out,err,status}
done

# An output that is the script itself: refused, status 2, the script kept.
# Wine's drive ignores case, so SITE.err is site.ERR; so is a hard link.
same="$work/windows/same"
mkdir -p "$same"
cp examples/office.txt "$same/site.ERR"
cp examples/office.txt "$same/link.txt" && ln "$same/link.txt" "$same/link.SET"
for case in SITE.err site.ERR link.txt; do
  for program in vigilc "vigil build"; do
    read -r exe sub <<<"$program"
    # shellcheck disable=SC2086  # no subcommand for vigilc
    run "$same" refused wine "$PWD/build/windows/src/cli/$exe.exe" $sub "$case"
    [ "$(cat "$same/refused.status")" = 2 ] || fail "$program $case: status, not 2"
    grep -q "^$program: refusing to write '.*': it is the script '$case' itself" "$same/refused.err" ||
      fail "$program $case: no refusal on stderr"
    cmp -s examples/office.txt "$same/${case/SITE.err/site.ERR}" || fail "$program $case: script changed"
  done
done
[ "$(find "$same" -type f | wc -l)" = 6 ] || fail "same-file refusal wrote files"

# All or nothing: a target that cannot be replaced (read-only) at each of
# the four positions leaves the old set whole and no hidden file; two runs at
# once on one set ("s.txt" and "s.abc" both write s.BIN ...) leave one run's
# set, whole; vigil fix refuses a script of two names as on Linux.
sets="$work/windows/sets"
mkdir -p "$sets"
cp examples/office.txt "$sets/s.txt"
run "$sets" old wine "$win_vigilc" s.txt
mkdir -p "$sets/old" && cp "$sets"/s.{BIN,LST,ERR,SET} "$sets/old/"
cp examples/alarm_site.txt "$sets/s.txt"
for ext in BIN LST ERR SET; do
  chmod a-w "$sets/s.$ext"
  run "$sets" readonly wine "$win_vigilc" s.txt
  chmod u+w "$sets/s.$ext"
  [ "$(cat "$sets/readonly.status")" = 2 ] || fail "read-only s.$ext: status, not 2"
  compare "read-only s.$ext" "$sets/old" "$sets" s.BIN s.LST s.ERR s.SET
  [ -z "$(find "$sets" -maxdepth 1 -name '.*' -type f)" ] || fail "read-only s.$ext: hidden files left"
done
cp examples/office.txt "$sets/s.txt" && cp examples/alarm_site.txt "$sets/s.abc"
mkdir -p "$sets/new" && cp examples/alarm_site.txt "$sets/new/s.txt"
run "$sets/new" new "$linux_vigilc" s.txt
for pair in $(seq 1 10); do
  (cd "$sets" && wine "$win_vigilc" s.txt >/dev/null 2>&1) &
  (cd "$sets" && wine "$win_vigilc" s.abc >/dev/null 2>&1) &
  wait
  whole=
  for set in old new; do
    if same_file "$sets/$set/s.BIN" "$sets/s.BIN" && same_file "$sets/$set/s.LST" "$sets/s.LST" &&
      same_file "$sets/$set/s.ERR" "$sets/s.ERR" && same_file "$sets/$set/s.SET" "$sets/s.SET"; then
      whole=$set
    fi
  done
  [ -n "$whole" ] || fail "concurrent pair $pair: the set is mixed"
  [ -z "$(find "$sets" -maxdepth 1 -name '.*' -type f)" ] || fail "concurrent pair $pair: hidden files left"
done
printf 'MODULE = PANEL,0\nEVENT PANEL.INIT\nEVENTEND\n' >"$sets/h.txt"
ln "$sets/h.txt" "$sets/h2.txt"
run "$sets" fix-linked wine "$win_vigil" fix h.txt
[ "$(cat "$sets/fix-linked.status")" = 2 ] && grep -q "hard links" "$sets/fix-linked.err" ||
  fail "vigil fix on a script of two names: not refused"

# The programs' own texts: usage, version, the list of error codes.
commands=("vigilc" "vigilc --help" "vigilc --version" "vigil" "vigil --help" "vigil --version"
  "vigil explain" "vigil explain E6 W1" "vigil check" "vigil nosuchcommand")
for command in "${commands[@]}"; do
  read -r program args <<<"$command"
  name="text-${command// /_}"
  # shellcheck disable=SC2086  # the arguments split on blanks
  run "$linux" "$name" "$PWD/build/package/src/cli/$program" $args
  # shellcheck disable=SC2086
  run "$windows" "$name" wine "$PWD/build/windows/src/cli/$program.exe" $args
  compare "$command" "$linux" "$windows" "$name".{out,err,status}
done

echo "wine: $index scripts and the path cases in $((SECONDS - started)) s"
if [ "$failures" -gt 0 ]; then
  echo "wine: $failures checks FAILED" >&2
  exit 1
fi
echo "wine: the Windows programs agree with the Linux programs"
