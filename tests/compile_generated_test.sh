#!/usr/bin/env bash
# The generated files as the target's compiler sees them: morv_cfg.c, and a translation unit that
# includes morv_cfg.h, compiled as C89, C99 and C11 and as C++ with warnings as errors, for the
# defaults and for the bundled example.
# Usage: compile_generated_test.sh <morvcfg> <C compiler> <C++ compiler> <example description>
set -euo pipefail
tool=$1 cc=$2 cxx=$3 example=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/use_header.c" <<'C'
#include "morv_cfg.h"
static const int pool_sizes[] = {
    ETH0_VERY_SMALL_BLOCK_SIZE, ETH0_VERY_SMALL_BLOCKS, ETH0_SMALL_BLOCK_SIZE, ETH0_SMALL_BLOCKS,
    ETH0_MIDDLE_BLOCK_SIZE, ETH0_MIDDLE_BLOCKS, ETH0_LARGE_BLOCK_SIZE, ETH0_LARGE_BLOCKS,
    ETH0_RCV_VERY_SMALL_SZ, ETH0_RCV_SMALL_SZ, ETH0_RCV_MIDDLE_SZ, ETH0_RCV_LARGE_SZ};
int pool_size(int i) { return pool_sizes[i]; }
C
: > "$work/empty.cfg"
for description in "$work/empty.cfg" "$example"; do
  (cd "$work" && "$tool" "$description" pass.cfg)
  for std in c89 c99 c11; do
    for unit in morv_cfg.c use_header.c; do
      echo "$cc -std=$std $unit ($(basename "$description"))"
      (cd "$work" && "$cc" -std="$std" -Wall -Wextra -pedantic -Werror -c "$unit" -o /dev/null)
    done
  done
  for unit in morv_cfg.c use_header.c; do
    echo "$cxx -x c++ $unit ($(basename "$description"))"
    (cd "$work" && "$cxx" -x c++ -Wall -Wextra -pedantic -Werror -c "$unit" -o /dev/null)
  done
done
echo "generated files compile cleanly"
