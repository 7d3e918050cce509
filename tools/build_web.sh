#!/usr/bin/env bash
# Builds the web playground into build/web/site: the core and the C API as
# WebAssembly (the wasm preset, Debian's emscripten) and the page's script
# bundled with the editor (npm packages pinned by web/package-lock.json).
# Exit status 3, after one line on stderr, when something it needs cannot be
# installed (no emscripten, no node, no npm registry).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh

if ! (ensure_packages "${BUILD_PACKAGES[@]}" emscripten) >/dev/null; then
  echo "web: emscripten cannot be installed" >&2
  exit 3
fi
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  if ! (ensure_packages nodejs npm) >/dev/null; then
    echo "web: node and npm cannot be installed" >&2
    exit 3
  fi
fi

export NODE_PATH=/usr/share/nodejs  # where Debian's emscripten finds acorn
cmake --preset wasm >/dev/null
cmake --build --preset wasm

# npm ci only when the lock file changed since the last install.
if [ ! -f web/node_modules/.package-lock.json ] ||
  [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
  if ! (cd web && npm ci --no-audit --no-fund --loglevel=error); then
    echo "web: the npm packages cannot be installed (is the npm registry reachable?)" >&2
    exit 3
  fi
fi
node web/build.mjs build/wasm/web build/web/site
