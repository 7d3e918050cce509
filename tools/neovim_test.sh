#!/usr/bin/env bash
# The README's Neovim recipe, as written, in the Neovim Debian ships: a copy
# of examples/office.txt in a sites/ folder opens as a vigil script, and
# editors/neovim/vigil_test.lua checks diagnostics, hover and rename.
#   tools/neovim_test.sh DIR_OF_VIGIL
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
vigil_dir="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The first indented block after the README's "Neovim" line, its indent taken off.
awk '/^Neovim \(0\.7 or later\)/ {on = 1; next}
     on && /^    / {code = 1}
     code && /^[^ ]/ {exit}
     code {sub(/^    /, ""); print}' "$root/README.md" >"$work/init.lua"
grep -q "vigil" "$work/init.lua"
mkdir "$work/sites"
cp "$root/examples/office.txt" "$work/sites/office.txt"
cd "$work"
PATH="$vigil_dir:$PATH" HOME="$work" XDG_CONFIG_HOME="$work" XDG_DATA_HOME="$work" \
  XDG_STATE_HOME="$work" timeout 60 nvim --headless -n -i NONE -u "$work/init.lua" \
  -c "luafile $root/editors/neovim/vigil_test.lua" sites/office.txt
