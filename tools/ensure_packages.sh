# Sourced by run.sh, test.sh and the scripts of tools/ and bench/: installs the Debian packages the build needs.
# As root it runs apt-get; otherwise it prints the command to run and stops.

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2 && apt-get install -y -qq "${missing[@]}" >&2
  else
    echo "Missing Debian packages. Run:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 2
  fi
}

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev nlohmann-json3-dev)
# test.sh: GNU time measures vigilc's peak memory in the scale tests; xmllint checks
# vigil test's JUnit reports against the schema CI servers read; lcov's genhtml
# renders vigil test --lcov's tracefile; Neovim runs the README's recipe
# (tools/neovim_test.sh).
TEST_PACKAGES=(time libxml2-utils lcov neovim)
# test.sh: the libFuzzer target (the fuzz preset).
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# tools/wine_test.sh: the Windows programs, cross-built and run under wine.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64)
# tools/package_test.sh: the Debian package (dpkg-shlibdeps, file) and its checks.
PACKAGE_PACKAGES=(dpkg-dev file lintian man-db)
