#!/usr/bin/env bash
# cpack makes a .tar.gz and a .deb holding the tool, its manual page and the CMake package.
# Usage: package_test.sh <morvcfg build dir>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
tarball=$(ls "$work"/morvcfg-*.tar.gz)
deb=$(ls "$work"/morvcfg_*.deb)
tar_list=$(tar tzf "$tarball")
deb_list=$(if command -v dpkg-deb >/dev/null; then dpkg-deb -c "$deb"; fi)
for f in bin/morvcfg share/man/man1/morvcfg.1 lib/cmake/morvcfg/morvcfgConfig.cmake; do
  grep -q "/$f\$" <<<"$tar_list" || { echo "FAILED: $f not in $tarball"; exit 1; }
  [ -z "$deb_list" ] || grep -q "/usr/$f\$" <<<"$deb_list" || { echo "FAILED: $f not in $deb"; exit 1; }
done
echo "packages: $(basename "$tarball") $(basename "$deb")"
