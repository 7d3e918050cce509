#!/usr/bin/env bash
# Builds the Debian package (the package preset) and, where mingw-w64 is
# installed, the Windows .zip (the windows preset), and checks them as a user
# meets them: lintian finds no error in the .deb; the programs unpacked from it
# compile an example it ships, byte for byte as expected, and name the
# project's version; its man pages render; the .zip holds both programs, the
# README, the LICENSE, the language reference and the examples. Also checks
# that the VS Code extension names the project's version. Each half skips
# with one line where its tools cannot be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
started=$SECONDS
version="$(sed -n 's/^project(vigil VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)"
npm_version="$version"
while [[ "$npm_version" != *.*.* ]]; do npm_version+=".0"; done
tools/stamp_version.sh --check
# The stamp rewrites the manifest's own version and no nested one.
scratch="$(mktemp -d)"
mkdir -p "$scratch/tools" "$scratch/editors/vscode"
cp CMakeLists.txt "$scratch/" && cp tools/stamp_version.sh "$scratch/tools/"
printf '{\n  "name": "vigil",\n  "version": "0.0.1",\n  "x": {\n    "version": "7"\n  }\n}\n' \
  >"$scratch/editors/vscode/package.json"
if "$scratch/tools/stamp_version.sh" --check >/dev/null 2>&1; then
  echo "package: FAIL: stamp_version --check accepts a stale version" >&2
  exit 1
fi
"$scratch/tools/stamp_version.sh" >/dev/null
version_lines="$(grep '"version"' "$scratch/editors/vscode/package.json" | tr -d ' ')"
rm -rf "$scratch"
if [ "$version_lines" != "$(printf '"version":"%s",\n"version":"7"' "$npm_version")" ]; then
  echo "package: FAIL: stamp_version wrote: $version_lines" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "package: FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! (ensure_packages "${PACKAGE_PACKAGES[@]}"); then
  echo "package: .deb skipped, dpkg-dev, lintian or man-db cannot be installed" >&2
else
  cmake --preset package >/dev/null
  cmake --build --preset package
  rm -f build/package/vigil_*.deb
  cpack --preset deb >/dev/null
  deb="$(ls build/package/vigil_*.deb)"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb: version is not $version"

  # lintian: errors fail, warnings are shown.
  lintian_status=0
  lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' ||
    lintian_status=${PIPESTATUS[0]}
  [ "$lintian_status" -eq 0 ] || fail "lintian reports errors in $deb (above)"

  root="$work/root"
  dpkg-deb -x "$deb" "$root"
  for program in vigilc vigil; do
    [ "$("$root/usr/bin/$program" --version)" = "$program $version" ] ||
      fail "installed $program does not name version $version"
  done
  docs="$root/usr/share/doc/vigil"
  for file in README.md language.md copyright changelog.gz examples/office.txt; do
    [ -f "$docs/$file" ] || fail ".deb lacks /usr/share/doc/vigil/$file"
  done
  # The installed compiler on an installed example gives the expected files.
  cp "$docs/examples/office.txt" "$work/"
  (cd "$work" && "$root/usr/bin/vigilc" office.txt >/dev/null) || fail "installed vigilc failed"
  for ext in BIN ERR SET; do
    cmp -s "$work/office.$ext" "examples/expected/office.$ext" ||
      fail "installed vigilc: office.$ext differs from examples/expected"
  done
  for page in vigilc vigil; do
    man_file="$root/usr/share/man/man1/$page.1.gz"
    rendered="$(MANWIDTH=80 man -l "$man_file" 2>&1)" || fail "man -l $page.1.gz: $rendered"
    grep -q "^NAME" <<<"$rendered" || fail "$page.1 renders without a NAME section"
    grep -q -- "--version" <<<"$rendered" || fail "$page.1 does not mention --version"
    [ "$page" = vigil ] && vigil_page="$rendered"
  done
  # Every command vigil --help lists has its entry in the man page.
  commands="$("$root/usr/bin/vigil" --help | sed -n 's/^  \([a-z]\+\) .*/\1/p')"
  [ -n "$commands" ] || fail "vigil --help lists no command"
  for command in $commands; do
    grep -q "^       $command " <<<"$vigil_page" || fail "vigil.1 lacks the command $command"
  done
  echo "package: $deb checked"
fi

if ! (ensure_packages "${WINDOWS_PACKAGES[@]}"); then
  echo "package: .zip skipped, mingw-w64 cannot be installed" >&2
else
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  rm -f build/windows/vigil-*.zip
  cpack --preset windows >/dev/null
  zip="build/windows/vigil-$version-win64.zip"
  listing="$(cmake -E tar tf "$zip")"
  for file in vigilc.exe vigil.exe README.md LICENSE docs/language.md examples/office.txt \
    examples/alarm_site.txt examples/counters.txt; do
    grep -qx "vigil-$version-win64/$file" <<<"$listing" || fail "$zip lacks $file"
  done
  echo "package: $zip checked"
fi

echo "package: done in $((SECONDS - started)) s"
if [ "$failures" -gt 0 ]; then
  echo "package: $failures checks FAILED" >&2
  exit 1
fi
