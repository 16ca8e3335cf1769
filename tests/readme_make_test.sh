#!/usr/bin/env bash
# The README's make rule as printed: taken from the README itself and run with GNU make and the
# host's C compiler on a board file; built again only when the board file changes; the checker's
# warnings in the log without stopping the build.
# Usage: readme_make_test.sh <morvcfg> <morvcfg-check> <README.md> <C compiler>
set -euo pipefail
tool=$(realpath "$1")
checker=$(realpath "$2")
readme=$3
compiler=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work/log" 2>/dev/null || true; exit 1; }

awk '/^## In a make build/ { found = 1 } found && /^```make$/ { inside = 1; next } inside && /^```$/ { exit } inside' \
  "$readme" > "$work/Makefile"
grep -q "MORVCFG" "$work/Makefile" || fail "no make block in $readme"
cd "$work"
cat > main.c <<'C'
#include <stdio.h>
#include "morv_cfg.h"
extern unsigned char ThisIs[];
int main(void) {
    printf("%u.%u.%u.%u %d\n", ThisIs[0], ThisIs[1], ThisIs[2], ThisIs[3], ETH0_RCV_SMALL_SZ);
    return 0;
}
C
build() { make CC="$compiler" MORVCFG="$tool" MORVCFG_CHECK="$checker" > log 2>&1 || fail "make failed"; }

printf 'MORV_IFCFG(10.1.2.3, 255.255.0.0);\r\nMORV_MPF_SMALL(64, 16);\r\n' > board.cfg
build
[ "$(./firmware)" = "10.1.2.3 1024" ] || fail "the firmware has $(./firmware)"
build
grep -q "morvcfg" log && fail "an unchanged board file ran the tool again"
sleep 1
printf 'MORV_IFCFG(10.1.2.4, 255.255.0.0);\r\n  MORV_DNS(10.1.0.9);\r\n' > board.cfg
build
[ "$(./firmware)" = "10.1.2.4 0" ] || fail "the changed board file was not taken: $(./firmware)"
grep -q "board.cfg:2:3: warning: directive MORV_DNS is indented" log || fail "the checker's warning is not in the log"
echo "the README's make rule builds, rebuilds on a change and shows the checker's warnings"
