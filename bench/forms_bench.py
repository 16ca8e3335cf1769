#!/usr/bin/env python3
"""The checker's CI forms and its adoption commands on an old board file, against the GCC form.

Builds a Release morvcfg-check (as bench/lsp_bench.py does), generates an old description file of
20,000 lines shaped like real ones (about 3% directives) with a mistake on one line in twenty, and
measures, as ratios of medians against `morvcfg-check -fno-diagnostics-show-caret FILE` (the GCC
form, the reference) in the same run:

  1. each form: json, sarif, github (with GITHUB_STEP_SUMMARY), gitlab, junit, checkstyle
     (target <= 2.0: a form costs no more than writing its warnings again);
  2. --statistics (target <= 1.2);
  3. --add-ignore on a fresh copy of the file (target <= 3.0: it checks the file twice and rewrites
     it in place);
  4. --compare of the file with a revision of it (a subnet, a pool and a define changed, comments
     added), against checking both files in one run (target <= 1.3), with GNU diff's time on the
     same two files for scale;
  5. --textconv, as a git diff driver runs it on each side (target <= 1.3).

Files live in memory (/dev/shm, or --dir). Usage: bench/forms_bench.py [--runs N] [--dir DIR]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import tempfile
import time

from lsp_bench import build

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def generate(path, lines):
    rng = random.Random(lines)
    good = ["MORV_IFCFG(10.{a}.{b}.40, 255.255.255.0);", "MORV_DNS(10.{a}.{b}.2);", "MORV_MPF_SMALL({a}, {b});"]
    bad = ["  MORV_LOCAL(127.0.{a});", "MORV_DNS(10.{a}.{b}.2) primary;", "morv_ntpcfg(10.{a}.{b}.123);",
           "MORV_SMTPCFG(10.{a}.{b}.300);", "MORV_DEV_ADR(uart-{a}, 0x4000{b:04X});"]
    with open(path, "w", newline="") as out:
        for _ in range(lines):
            a, b = rng.randrange(256), rng.randrange(256)
            roll = rng.random()
            if roll < 0.05:
                line = rng.choice(bad).format(a=a, b=b)
            elif roll < 0.08:
                line = rng.choice(good).format(a=a, b=b)
            else:
                line = "CRE_TSK(TASK_{:05d}, {{ TA_HLNG, 0, task_{:03d}, {}, 2048, NULL }});".format(a * 256 + b, a, b % 16)
            out.write(line + "\r\n")


def timed(command, env=None, before=None):
    if before:
        before()
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--dir", default="/dev/shm" if os.path.isdir("/dev/shm") else None)
    args = parser.parse_args()
    checker = build(os.path.join(ROOT, "build-bench"))
    work = tempfile.mkdtemp(dir=args.dir)
    try:
        board = os.path.join(work, "board.cfg")
        generate(board, 20000)
        copy = os.path.join(work, "copy.cfg")
        summary = os.path.join(work, "summary.md")
        reference = [checker, "--no-config", "-fno-diagnostics-show-caret", board]
        cases = [(form, [checker, "--no-config", "--format=" + form, board], None, None)
                 for form in ("json", "sarif", "gitlab", "junit", "checkstyle")]
        cases.insert(1, ("github", [checker, "--no-config", "--format=github", board],
                         dict(os.environ, GITHUB_STEP_SUMMARY=summary), lambda: open(summary, "w").close()))
        cases.append(("--statistics", [checker, "--no-config", "--statistics", board], None, None))
        cases.append(("--add-ignore", [checker, "--no-config", "--add-ignore", copy], None,
                      lambda: shutil.copyfile(board, copy)))
        revised = os.path.join(work, "revised.cfg")
        with open(board, newline="") as old, open(revised, "w", newline="") as new:
            text = old.read()
            new.write("/* revision B */\r\n" + text.replace("MORV_MPF_SMALL(", "MORV_MPF_SMALL(2") +
                      "MORV_IFCFG(10.9.8.7, 255.255.0.0);\r\nMORV_DEV_ADR(late, 0x1);\r\n")
        cases.append(("--compare", [checker, "--no-config", "--compare", board, revised], None, None))
        cases.append(("--textconv", [checker, "--no-config", "--textconv", board], None, None))
        warnings = subprocess.run(reference, capture_output=True).stdout.count(b": warning: ")
        print(f"board.cfg: 20,000 lines, {os.path.getsize(board):,} bytes, {warnings:,} warnings; "
              f"{args.runs} runs each, alternating with the reference")
        both = [checker, "--no-config", "-fno-diagnostics-show-caret", board, revised]
        for name, command, env, before in cases:
            ours, theirs = [], []
            against = both if name == "--compare" else reference
            for _ in range(args.runs):
                theirs.append(timed(against))
                ours.append(timed(command, env, before))
            ratio = statistics.median(ours) / statistics.median(theirs)
            print(f"  {name:13s} {statistics.median(ours) * 1000:7.1f} ms vs {statistics.median(theirs) * 1000:6.1f} ms"
                  f"  ratio {ratio:.2f}")
        text_diff = statistics.median(timed(["diff", board, revised]) for _ in range(args.runs))
        print(f"  (--compare's reference checks both files; GNU diff on them takes {text_diff * 1000:.1f} ms)")
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
