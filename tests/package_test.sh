#!/usr/bin/env bash
# cpack makes a .tar.gz (and a .deb when the build knows its maintainer) holding both tools, their
# manual pages, the CMake package, and the licence and changelog in each package's own form.
# Usage: package_test.sh <morvcfg build dir> deb|notice
#   deb: the build knows its maintainer, and the .deb must be made;
#   notice: it does not, and cpack must say how to make one.
set -euo pipefail
build=$1
expect=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cpack --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
common="bin/morvcfg bin/morvcfg-check share/man/man1/morvcfg.1.gz share/man/man1/morvcfg-check.1.gz
        share/doc/morvcfg/morvcfg-check-warnings.html
        lib/cmake/morvcfg/morvcfgConfig.cmake lib/cmake/morvcfg/MorvcfgGenerate.cmake"

tarball=$(ls "$work"/morvcfg-*.tar.gz)
tar_list=$(tar tzf "$tarball")
for f in $common share/doc/morvcfg/LICENSE share/doc/morvcfg/CHANGELOG.md; do
  grep -q "/$f\$" <<<"$tar_list" || fail "$f not in $tarball"
done
made=$(basename "$tarball")

# The language server of the unpacked package links each diagnostic to the page the package holds.
if "$build/morvcfg-check" --help | grep -q -- "--lsp"; then
  mkdir "$work/unpacked" && tar xzf "$tarball" -C "$work/unpacked"
  root=$(cd "$work"/unpacked/*/ && pwd)
  message() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
  {
    message '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
    message '{"jsonrpc":"2.0","method":"initialized","params":{}}'
    message '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///b.cfg","languageId":"morvcfg","version":1,"text":"  MORV_DNS(192.168.0.2);\n"}}}'
    message '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
    message '{"jsonrpc":"2.0","method":"exit"}'
  } | "$root/bin/morvcfg-check" --lsp > "$work/lsp.out" 2>&1 || fail "the unpacked language server failed"
  grep -q "\"href\":\"file://$root/share/doc/morvcfg/morvcfg-check-warnings.html#not-directive\"" "$work/lsp.out" ||
    fail "the unpacked language server does not link to the page it ships: $(cat "$work/lsp.out")"
fi

if [ "$expect" = notice ]; then
  ! ls "$work"/morvcfg_*.deb >/dev/null 2>&1 || fail "a .deb was made without a maintainer"
  grep -q "No .deb: set MORVCFG_MAINTAINER=" "$work/cpack.log" || fail "cpack did not say why there is no .deb"
  made="$made (no .deb: the notice was given)"
else
  deb=$(ls "$work"/morvcfg_*.deb 2>/dev/null) || fail "no .deb, though the build knows its maintainer"
  deb_list=$(dpkg-deb -c "$deb")
  for f in $common share/doc/morvcfg/copyright share/doc/morvcfg/changelog.gz; do
    grep -q "\./usr/$f\$" <<<"$deb_list" || fail "$f not in $deb"
  done
  ! grep -q "LICENSE\|CHANGELOG.md" <<<"$deb_list" || fail "$deb holds the upstream licence and changelog as well"
  made="$made $(basename "$deb")"
fi
echo "packages: $made"
