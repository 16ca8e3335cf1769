# shellcheck shell=bash disable=SC2034  # the variables are the sourcing test's
# What the tests that run the README's recipes share, sourced with their arguments (<README.md>
# <morvcfg-<version>.tgz> <folder of the native morvcfg-check>): those as `readme`, `tarball` and
# `native`, the project's folder, a scratch folder `work` removed at the end, `fail`, and the
# README's fenced blocks.
readme=$(realpath "$1")
tarball=$(realpath "$2")
native=$(realpath "$3")
project=$(dirname "$readme")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; cat "$work/log" 2>/dev/null || true; exit 1; }

# The fenced block whose first line is `first` (a comment naming what it is), whole.
block() {
  awk -v first="$1" '/^```/ && !inside { inside = 1; top = 1; next } inside && /^```$/ { inside = 0; keep = 0; next }
    inside && top { top = 0; keep = ($0 == first) } inside && keep' "$readme"
}

# The commands a CI block runs: a GitHub job's `run:` steps, or a GitLab job's `script:` lines.
commands() {
  /usr/bin/python3 -c '
import sys, yaml
config = yaml.safe_load(sys.stdin)
for job in (config.get("jobs") or {k: v for k, v in config.items() if isinstance(v, dict)}).values():
    for step in job.get("steps", []):
        if "run" in step:
            print(step["run"])
    for line in job.get("script", []):
        print(line)
'
}
