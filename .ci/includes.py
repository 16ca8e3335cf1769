#!/usr/bin/env python3
"""Includes run one way: each library includes only those below it (or its own files), as the
README's "Working on morvcfg" lays them out. Prints each include that runs back up or sideways, and
exits 1 when there is one. Tests, fuzz targets and benchmarks sit above everything and are not
checked; nor are the system's headers.

Usage: .ci/includes.py [FILE...]   (default: every .cc and .h git tracks)
"""
import re
import subprocess
import sys

# (room, rank): a file may include a file of its own room, or of a lower rank. Rooms of one rank
# are siblings and include none of each other's files.
LAYERS = [
    ("generator/", "generator", 1),
    ("translator/", "translator", 2),
    ("checker/analysis/", "checker/analysis", 3),
    ("checker/fixes/", "checker/fixes", 4),
    ("checker/forms/", "checker/forms", 4),
    ("checker/frontend/", "checker/frontend", 5),
    ("lsp/", "lsp", 6),
    ("system/", "system", 6),
    ("programs/", "programs", 7),
]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    for prefix, room, rank in LAYERS:
        if path.startswith(prefix):
            return room, rank
    return None


def checked(path):
    return (path.endswith((".cc", ".h")) and not path.endswith("_test.cc") and layer_of(path) is not None
            and "/test" not in path)


def main():
    files = sys.argv[1:] or subprocess.run(["git", "ls-files", "*.cc", "*.h"], capture_output=True, text=True,
                                           check=True).stdout.split()
    wrong = []
    count = 0
    for path in filter(checked, files):
        room, rank = layer_of(path)
        with open(path, encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                count += 1
                included = layer_of(match.group(1))
                if included is None or included[0] == room or included[1] < rank:
                    continue
                wrong.append(f"{path}:{number}: {room} includes {match.group(1)}, of {included[0]}, which is not below it")
    for line in wrong:
        print(line)
    print(f"includes: {count} in the libraries and programs, {len(wrong)} running back up or sideways")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
