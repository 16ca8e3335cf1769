#!/usr/bin/env bash
# The README's Neovim set-up as printed: its block is taken from the README itself and run as
# init.lua in headless Neovim on a board file with mistakes (readme_test.lua checks what a user
# sees), then once more without morvcfg-check on PATH.
# Usage: readme_test.sh <morvcfg-check> <README.md>
set -euo pipefail
checker=$(realpath "$1")
readme=$2
here=$(cd "$(dirname "$0")" && pwd)
nvim=$(command -v nvim)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# The first lua block after the line that starts with **Neovim**.
awk '/^\*\*Neovim\*\*/ { found = 1 } found && /^```lua$/ { inside = 1; next } inside && /^```$/ { exit } inside' \
  "$readme" > "$work/init.lua"
grep -q "morvcfg-check" "$work/init.lua" || fail "no Neovim block in $readme"
mkdir "$work/bin"
ln -s "$checker" "$work/bin/morvcfg-check"
cp "$here/board.cfg" "$work/board.cfg"
cd "$work"

echo "-- the README's block, with morvcfg-check on PATH"
PATH="$work/bin:$PATH" MORVCFG_README_TEST=checks timeout 300 "$nvim" --headless -u init.lua \
  -c "luafile $here/readme_test.lua" board.cfg </dev/null
cmp -s board.cfg "$here/board.cfg" || fail "the editor test changed its file"

echo "-- the README's block, with a project file beside the board file"
printf '# judged\n-Wno-not-directive\n' > .morvcfg-check
PATH="$work/bin:$PATH" MORVCFG_README_TEST=project timeout 300 "$nvim" --headless -u init.lua \
  -c "luafile $here/readme_test.lua" board.cfg </dev/null
rm .morvcfg-check

echo "-- the README's block, without morvcfg-check on PATH"
bare=/usr/bin:/bin
if PATH=$bare command -v morvcfg-check >/dev/null; then
  echo "morvcfg-check is installed in $bare: the missing case cannot be tried here"
else
  PATH=$bare MORVCFG_README_TEST=missing timeout 120 "$nvim" --headless -u init.lua \
    -c "luafile $here/readme_test.lua" board.cfg </dev/null
fi
