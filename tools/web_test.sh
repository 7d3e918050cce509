#!/usr/bin/env bash
# Tests of the web playground: the WebAssembly build against the native
# vigilc (all four files, byte for byte, over the examples and the fuzz
# seeds) and its simulator against the native vigil sim and vigil test (over
# the examples), then the page in headless Chromium. Skips with one line when
# emscripten, node, the npm packages or Chromium cannot be installed.
#   tools/web_test.sh [VIGILC]     (default: the debug build's vigilc)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure_packages.sh

vigilc="${1:-build/debug/src/cli/vigilc}"
vigil="$(dirname "$vigilc")/vigil"
if [ ! -x "$vigilc" ] || [ ! -x "$vigil" ]; then
  cmake --preset debug >/dev/null
  cmake --build --preset debug --target vigilc vigil
fi

status=0
tools/build_web.sh || status=$?
if [ "$status" -eq 3 ]; then
  echo "web: skipped, see the line above" >&2
  exit 0
fi
[ "$status" -eq 0 ] || exit "$status"

node web/test/wasm_compare.mjs "$vigilc" build/wasm/web/vigil.js examples/*.txt fuzz/corpus/*.txt
node web/test/sim_compare.mjs "$vigil" build/wasm/web/vigil.js examples/*.txt

if ! (ensure_packages chromium) >/dev/null; then
  echo "web: page test skipped, chromium cannot be installed" >&2
  exit 0
fi
node web/test/page_test.mjs build/web/site build/web/screenshot.png
