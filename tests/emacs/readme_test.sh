#!/usr/bin/env bash
# The README's Emacs set-up as printed: its block is taken from the README itself and loaded as
# init.el in Emacs (batch mode, Debian's emacs-nox and elpa-eglot) on a board file with mistakes
# (readme_test.el checks what a user sees), then once more without morvcfg-check on PATH.
# Usage: readme_test.sh <morvcfg-check> <README.md> <board file>
set -euo pipefail
checker=$(realpath "$1")
readme=$2
board=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
emacs=$(command -v emacs)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# The first elisp block after the line that starts with **Emacs (eglot)**.
awk '/^\*\*Emacs \(eglot\)\*\*/ { found = 1 } found && /^```elisp$/ { inside = 1; next } inside && /^```$/ { exit } inside' \
  "$readme" > "$work/init.el"
grep -q "morvcfg-check" "$work/init.el" || fail "no Emacs block in $readme"
mkdir "$work/bin"
ln -s "$checker" "$work/bin/morvcfg-check"
cp "$board" "$work/board.cfg"
cd "$work"

# Emacs activates the installed packages (elpa-eglot) before it reads init.el; in batch mode it
# does not, so the run does it first, as start-up would.
run() {
  HOME=$work timeout 300 "$emacs" --batch --eval '(package-activate-all)' -l init.el -l "$here/readme_test.el" \
    </dev/null
}
echo "-- the README's block, with morvcfg-check on PATH"
PATH="$work/bin:$PATH" MORVCFG_README_TEST=checks run
cmp -s board.cfg "$board" || fail "the editor test changed its file"

echo "-- the README's block, without morvcfg-check on PATH"
bare=/usr/bin:/bin
if PATH=$bare command -v morvcfg-check >/dev/null; then
  echo "morvcfg-check is installed in $bare: the missing case cannot be tried here"
else
  PATH=$bare MORVCFG_README_TEST=missing run
fi
