#!/usr/bin/env bash
# Tests and packages the VS Code extension: installs the npm packages of
# package-lock.json when they are missing or the lockfile changed, runs
# `npm test` (type check, bundle, grammar tests, unit tests) and
# `npm run package`, and prints where the .vsix is. Exits non-zero on any
# failure; skips (exit 0) when Node.js and npm are not installed.
set -euo pipefail
cd "$(dirname "$0")"

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "vscode: skipped, node and npm are not installed (apt-get install nodejs npm)"
  exit 0
fi
node_major="$(node -p 'process.versions.node.split(".")[0]')"
if [ "$node_major" -lt 20 ]; then
  echo "vscode: skipped, Node.js 20 or newer is needed, found $(node --version)"
  exit 0
fi

# npm ci when node_modules is missing or package.json / package-lock.json
# changed since the last install that this script made.
stamp=node_modules/.vigil-install-stamp
wanted="$(cat package.json package-lock.json | sha256sum | cut -d' ' -f1)"
if [ ! -d node_modules ] || [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$wanted" ]; then
  echo "vscode: npm ci"
  npm ci --no-audit --no-fund
  echo "$wanted" >"$stamp"
fi

echo "vscode: npm test"
npm test

echo "vscode: npm run package"
rm -f vigil-*.vsix
npm run package
version="$(node -p 'require("./package.json").version')"
vsix="$PWD/vigil-$version.vsix"
[ -f "$vsix" ] || { echo "vscode: FAILED, $vsix was not written" >&2; exit 1; }
echo "vscode: packaged $vsix ($(stat -c %s "$vsix") bytes)"
