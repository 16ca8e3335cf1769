#!/usr/bin/env bash
# The checker's fixes with the tools people apply them with: `patch -p0` takes --diff, GCC's
# parseable fix-it lines applied by hand give what --fix --unsafe-fixes gives, and the GCC form is
# coloured on a terminal only (and not with NO_COLOR).
# The README's --diff example is what --diff prints.
# Usage: fix_tools_test.sh <morvcfg-check> <mistakes golden folder> <c-structure golden folder> <README.md>
set -euo pipefail
checker=$1
golden=$2
split=$3
readme=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cd "$work"

echo "-- patch -p0 applies --diff, and gives what --fix gives"
cp "$golden/input.cfg" board.cfg
status=0
"$checker" --diff board.cfg > fixes.patch || status=$?
[ "$status" = 1 ] || fail "--diff with changes to make exits $status"
cmp -s board.cfg "$golden/input.cfg" || fail "--diff changed the file"
patch -p0 --quiet < fixes.patch
cmp -s board.cfg "$golden/fixed.cfg" || fail "the patched file is not the fixed file"
"$checker" --diff board.cfg > again.patch || fail "--diff on a fixed file still finds something"
[ ! -s again.patch ] || fail "--diff on a fixed file prints a diff"

echo "-- the parseable fix-it lines applied by hand give what --fix --unsafe-fixes gives"
cp "$golden/input.cfg" board.cfg
"$checker" -fdiagnostics-parseable-fixits -fno-diagnostics-show-caret board.cfg > fixits.txt || true
grep -c '^fix-it:' fixits.txt > /dev/null || fail "no fix-it lines"
python3 - board.cfg fixits.txt <<'PY'
import re, sys
path, fixits = sys.argv[1], sys.argv[2]
data = open(path, 'rb').read()
lines = data.split(b'\n')
def unescape(text):
    out, i = bytearray(), 0
    while i < len(text):
        if text[i] == '\\':
            nxt = text[i + 1]
            if nxt in '01234567':
                out.append(int(text[i + 1:i + 4], 8)); i += 4; continue
            out += {'t': b'\t', 'n': b'\n'}.get(nxt, nxt.encode()); i += 2; continue
        out += text[i].encode('utf-8'); i += 1
    return bytes(out)
edits = []
for line in open(fixits, encoding='utf-8', errors='surrogateescape'):
    m = re.match(r'fix-it:"((?:[^"\\]|\\.)*)":\{(\d+):(\d+)-(\d+):(\d+)\}:"((?:[^"\\]|\\.)*)"$', line.rstrip('\n'))
    if m:
        l1, c1, l2, c2 = map(int, m.group(2, 3, 4, 5))
        assert l1 == l2, line
        edits.append((l1, c1, c2, unescape(m.group(6))))
for l, c1, c2, text in sorted(edits, reverse=True):
    lines[l - 1] = lines[l - 1][:c1 - 1] + text + lines[l - 1][c2 - 1:]
open(path, 'wb').write(b'\n'.join(lines))
PY
cp "$golden/input.cfg" unsafe.cfg
"$checker" --fix --unsafe-fixes unsafe.cfg > /dev/null 2>&1 || true
cmp -s board.cfg unsafe.cfg || fail "the fix-it lines and --fix --unsafe-fixes disagree"
cmp -s board.cfg "$golden/fixed.cfg" && fail "the guesses changed nothing"

echo "-- patch -p0 applies --diff --unsafe-fixes, whose guesses break a line in two"
cp "$split/input.cfg" split.cfg
"$checker" --diff --unsafe-fixes split.cfg > split.patch || true
grep -q '^+MORV_NTPCFG(10.0.0.123);' split.patch || fail "no line broken in two in the diff"
patch -p0 --quiet < split.patch
mkdir fixed && cp "$split/input.cfg" fixed/split.cfg
(cd fixed && "$checker" --fix --unsafe-fixes split.cfg > /dev/null 2>&1) || true
cmp -s split.cfg fixed/split.cfg || fail "the patched file is not what --fix --unsafe-fixes makes"

echo "-- the README's --diff example, as printed"
cp "$(dirname "$readme")/examples/board-with-mistakes.cfg" board.cfg
awk '/^\$ .*morvcfg-check --diff board.cfg/ { on = 1; next } on && /^\$ / { exit } on' "$readme" > readme-diff.txt
[ -s readme-diff.txt ] || fail "no --diff example in the README"
"$checker" --diff board.cfg > diff.txt || true
diff -u readme-diff.txt diff.txt || fail "the README's --diff example is not what --diff prints"

echo "-- colour on a terminal only"
printf 'MORV_LOCAL(1.2.3)\n' > a.cfg
TERM=xterm script -qec "'$checker' a.cfg" /dev/null > terminal.txt || true
grep -q $'\033\\[01;35m' terminal.txt || fail "no colour on a terminal"
TERM=xterm NO_COLOR=1 script -qec "'$checker' a.cfg" /dev/null > no-colour.txt || true
grep -q $'\033' no-colour.txt && fail "colour although NO_COLOR is set"
TERM=xterm "$checker" a.cfg > piped.txt || true
grep -q $'\033' piped.txt && fail "colour into a pipe"
TERM=xterm NO_COLOR=1 "$checker" -fdiagnostics-color=always a.cfg > always.txt || true
grep -q $'\033' always.txt || fail "no colour with -fdiagnostics-color=always"
echo "fix tools: all checks passed"
