#!/usr/bin/env bash
# Builds vigilc and compiles a script: the bundled example, or the one given.
#   ./run.sh                      compile examples/office.txt
#   ./run.sh path/to/site.txt     compile your own script
#   ./run.sh --web [PORT]         build the web playground and serve it on 127.0.0.1
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

if [ "${1:-}" = "--web" ]; then
  tools/build_web.sh
  exec node web/serve.mjs build/web/site "${2:-8080}"
fi

cmake --preset release >/dev/null
cmake --build --preset release --target vigilc vigil >/dev/null

script="${1:-examples/office.txt}"
status=0
build/release/src/cli/vigilc "$script" || status=$?
stem="${script%???}"
if [ "$status" -le 1 ]; then
  echo "Download file:  ${stem}BIN"
  echo "Listing:        ${stem}LST"
  echo "Error file:     ${stem}ERR"
  echo "Settings table: ${stem}SET"
  echo "--- listing ---"
  tr -d '\r' < "${stem}LST"
fi
exit "$status"
