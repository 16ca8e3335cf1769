#!/usr/bin/env bash
# cpack makes a .tar.gz (and a .deb when the build knows its maintainer) holding both tools, their
# manual pages, the CMake package, and the licence and changelog in each package's own form.
# Usage: package_test.sh <morvcfg build dir>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
common="bin/morvcfg bin/morvcfg-check share/man/man1/morvcfg.1.gz share/man/man1/morvcfg-check.1.gz
        lib/cmake/morvcfg/morvcfgConfig.cmake lib/cmake/morvcfg/MorvcfgGenerate.cmake"

tarball=$(ls "$work"/morvcfg-*.tar.gz)
tar_list=$(tar tzf "$tarball")
for f in $common share/doc/morvcfg/LICENSE share/doc/morvcfg/CHANGELOG.md; do
  grep -q "/$f\$" <<<"$tar_list" || fail "$f not in $tarball"
done
made=$(basename "$tarball")

if deb=$(ls "$work"/morvcfg_*.deb 2>/dev/null) && command -v dpkg-deb >/dev/null; then
  deb_list=$(dpkg-deb -c "$deb")
  for f in $common share/doc/morvcfg/copyright share/doc/morvcfg/changelog.gz; do
    grep -q "\./usr/$f\$" <<<"$deb_list" || fail "$f not in $deb"
  done
  ! grep -q "LICENSE\|CHANGELOG.md" <<<"$deb_list" || fail "$deb holds the upstream licence and changelog as well"
  made="$made $(basename "$deb")"
fi
echo "packages: $made"
