#!/usr/bin/env bash
# The version is written once, in the project() line of CMakeLists.txt. This
# writes it into the VS Code extension's package.json as npm wants it (1.0 is
# 1.0.0); with --check it only reports whether the two agree (exit 1 if not).
#   tools/stamp_version.sh           stamp editors/vscode/package.json
#   tools/stamp_version.sh --check   fail when it names another version
set -euo pipefail
cd "$(dirname "$0")/.."
manifest=editors/vscode/package.json

version="$(sed -n 's/^project(vigil VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ -z "$version" ]; then
  echo "stamp_version: no version in the project() line of CMakeLists.txt" >&2
  exit 2
fi
npm_version="$version"
while [ "$(tr -dc . <<<"$npm_version" | wc -c)" -lt 2 ]; do npm_version="$npm_version.0"; done

if [ ! -f "$manifest" ]; then
  echo "stamp_version: $manifest is not there; nothing to stamp"
  exit 0
fi
# The first "version" key is the package's own: the one at two blanks'
# indent, before any nested object's.
pattern='^\(  "version": *"\)[^"]*\(".*\)$'
current="$(grep -m1 '^  "version":' "$manifest" | sed 's/^  "version": *"\([^"]*\)".*/\1/' || true)"
if [ "${1:-}" = "--check" ]; then
  if [ "$current" != "$npm_version" ]; then
    echo "stamp_version: $manifest has version '$current', the project $npm_version;" \
      "run tools/stamp_version.sh" >&2
    exit 1
  fi
  echo "stamp_version: $manifest agrees with the project version $npm_version"
  exit 0
fi
if [ -z "$current" ]; then
  echo "stamp_version: $manifest has no top-level \"version\"" >&2
  exit 2
fi
sed -i "0,/$pattern/s//\\1$npm_version\\2/" "$manifest"
echo "stamp_version: $manifest now has version $npm_version"
