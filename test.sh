#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite, the example scenarios and the VS Code
# extension's tests; then runs the Windows programs under wine against the
# Linux ones and checks the packages (tools/wine_test.sh,
# tools/package_test.sh); then, with clang, builds the compile fuzz target
# and runs it on the seed corpus and the example scripts for a short while
# (FUZZ_SECONDS, 60 by default; 0 skips it). A fault found fails the run and
# leaves its input in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure_packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

cmake --preset debug
cmake --build --preset debug
ctest --preset debug
for example in office alarm_site counters; do
  build/debug/src/cli/vigil test "examples/$example.txt" "examples/$example.scenarios"
done

# The VS Code extension: grammar tests, unit tests and the .vsix package.
editors/vscode/test.sh
# The Windows programs under wine, then the .deb and .zip packages.
tools/wine_test.sh
tools/package_test.sh
# The WebAssembly build against the native one, and the page in Chromium.
tools/web_test.sh

fuzz_seconds="${FUZZ_SECONDS:-60}"
[ "$fuzz_seconds" -gt 0 ] || exit 0
if ! (ensure_packages "${FUZZ_PACKAGES[@]}") || ! command -v clang++ >/dev/null; then
  echo "fuzz: skipped, clang is not installed" >&2
  exit 0
fi
cmake --preset fuzz
cmake --build --preset fuzz --target compile_fuzzer
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/*.txt examples/*.txt "$corpus"
log=build/fuzz/fuzz.log
echo "fuzz: compile_fuzzer for ${fuzz_seconds} s, log in $log"
if ! build/fuzz/fuzz/compile_fuzzer -dict=fuzz/vigil.dict -max_total_time="$fuzz_seconds" \
  -timeout=10 -max_len=8192 -print_final_stats=1 -artifact_prefix=build/fuzz/ \
  "$corpus" >"$log" 2>&1; then
  grep -E -A40 'consistency fault|ERROR:|runtime error|Test unit written' "$log" >&2 ||
    tail -60 "$log" >&2
  echo "fuzz: FAILED; add the input above to tests/e2e/fuzz_regression_test.cc" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
echo "fuzz: no fault found"
