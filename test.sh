#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

cmake --preset debug
cmake --build --preset debug
ctest --preset debug
