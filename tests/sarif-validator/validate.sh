#!/usr/bin/env bash
# Validates morvcfg-check's SARIF output for each description file with the SARIF Multitool
# (pinned in package-lock.json): any error or warning it reports fails.
# Usage: validate.sh <morvcfg-check> <description file>...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check=$(realpath "$1")
shift
(cd "$here" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
# The install script npm leaves unrun only marks the tool executable.
chmod u+x "$here"/node_modules/@microsoft/sarif-multitool-linux/Sarif.Multitool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for description in "$@"; do
  name=$(basename "$description")
  cp "$description" "$work/$name"
  status=0
  (cd "$work" && "$check" --format=sarif "$name" > "$name.sarif") || status=$?
  [ "$status" -le 1 ] || { echo "FAILED: morvcfg-check exited with $status on $name"; exit 1; }
  "$here/node_modules/.bin/sarif-multitool" validate "$work/$name.sarif" > "$work/log" 2>&1 || true
  if grep -E ": (error|warning) " "$work/log"; then
    echo "FAILED: the SARIF Multitool finds fault with the output for $name"
    exit 1
  fi
  grep -q "Analysis completed successfully" "$work/log" || { cat "$work/log"; exit 1; }
  echo "$name: SARIF valid, no error or warning"
done
