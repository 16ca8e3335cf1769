#!/usr/bin/env python3
"""clang-tidy on the sources of a compilation database, as many at once as asked, remembering the
ones it found clean: a source whose preprocessed text (headers and all), compile command,
clang-tidy and .clang-tidy are all as they were when it was last found clean is not checked again,
as ccache does for compiles. Prints what clang-tidy reports, and exits 1 when it reports anything
or fails.

Usage: tidy.py BUILD_DIR JOBS REGEX [CLANG_TIDY_ARG]...
The memory is kept in $XDG_CACHE_HOME/morvcfg-ci/tidy (~/.cache by default)."""
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys

DROPPED_WITH_VALUE = ("-o", "-MF", "-MT", "-MQ")
DROPPED = ("-c", "-MD", "-MMD")


def preprocessed(entry):
    """The source as the compiler sees it, headers and all; None when it cannot be had."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    kept = []
    skip = False
    for arg in args:
        if skip:
            skip = False
        elif arg in DROPPED_WITH_VALUE:
            skip = True
        elif arg not in DROPPED and not arg.startswith("-flto"):
            kept.append(arg)
    if kept and os.path.basename(kept[0]) == "ccache":
        kept = kept[1:]
    result = subprocess.run(kept + ["-E", "-P", "-o", "-"], cwd=entry["directory"], capture_output=True)
    return result.stdout if result.returncode == 0 else None


def main():
    build, jobs, pattern = sys.argv[1], int(sys.argv[2]), re.compile(sys.argv[3])
    extra = sys.argv[4:]
    with open(os.path.join(build, "compile_commands.json")) as f:
        entries = [e for e in json.load(f) if pattern.search(os.path.relpath(e["file"]))]
    if not entries:
        print(f"no source in {build}/compile_commands.json matches {pattern.pattern}")
        return 1
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".clang-tidy"), "rb") as f:
        config = f.read()
    tool = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True, check=True).stdout
    cache = os.path.join(os.environ.get("XDG_CACHE_HOME", os.path.expanduser("~/.cache")), "morvcfg-ci", "tidy")
    os.makedirs(cache, exist_ok=True)

    def check(entry):
        """(source, clean, remembered, report) for one source."""
        source = entry["file"]
        text = preprocessed(entry)
        key = None
        if text is not None:
            digest = hashlib.sha256()
            for part in (tool, config.decode(), json.dumps(entry.get("arguments") or entry.get("command")),
                         " ".join(extra)):
                digest.update(part.encode() + b"\0")
            digest.update(text)
            key = os.path.join(cache, digest.hexdigest())
            if os.path.exists(key):
                return source, True, True, ""
        run = subprocess.run(["clang-tidy", "-p", build, "-quiet"] + extra + [source], capture_output=True, text=True)
        report = "\n".join(line for line in (run.stdout + run.stderr).splitlines()
                           if line.strip() and "warnings generated" not in line and not line.startswith("Suppressed ")
                           and "-header-filter" not in line)
        clean = run.returncode == 0 and not re.search(r"(error|warning): ", report)
        if clean and key is not None:
            open(key, "w").close()
        return source, clean, False, report

    found = remembered = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for source, clean, known, report in pool.map(check, entries):
            remembered += known
            if not clean:
                found += 1
                print(report or f"{source}: clang-tidy failed")
    print(f"clang-tidy: {len(entries)} sources ({remembered} clean as before), {found} with findings")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
