#!/usr/bin/env python3
"""Whole-process benchmark of morvcfg against reference commands measured in the same run.

Builds a Release morvcfg, generates description files deterministically (nothing large is kept),
runs the tool and the reference commands alternately, and prints each figure as a ratio of medians:

  1. common case: morvcfg on 64 MiB of CR LF text with 15% directive lines vs `cat in > out`
                  (target <= 1.5)
     real-shaped: 64 MiB shaped like real description files (lines of about 50 bytes, 3%
                  directives), CR LF, vs `cat` (target <= 1.2)
     short lines: 64 MiB of lines of about 55 bytes with 15% directives, CR LF, vs `cat`
                  (target <= 1.4)
  2. slower path: the same text with LF ends and a lone CR in about one line in a hundred vs
                  `tr -d '\\r' < in > out` (target <= 1.0)
  3. memory:      peak RSS on 256 MiB minus peak RSS on an empty file (target < 1 MiB)
  4. start-up:    morvcfg on the bundled example vs `cat example > out` (target <= 1.2)
  5. scaling:     time per MiB at 16, 64 and 256 MiB (linear when the ratios stay near 1.0)

Everything runs in memory (/dev/shm where the machine has it, or --dir) so that the disk's
write-back does not blur the figures.

With --instructions, it also counts instructions per input byte and per line with callgrind on
8 MiB of the real-shaped and of the short-line text, for morvcfg and for cat, and lists where the
tool's go.

Usage: bench/run_bench.py [--runs N] [--startup-runs N] [--keep DIR] [--dir DIR] [--instructions]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIB = 1 << 20


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DMORVCFG_BUILD_TESTS=OFF", "-DMORVCFG_BENCH=ON"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "morvcfg", "morvcfg_peak_rss", "morvcfg_copy_floor"],
                   check=True, stdout=subprocess.DEVNULL)
    return (os.path.join(build_dir, "morvcfg"), os.path.join(build_dir, "bench", "morvcfg_peak_rss"),
            os.path.join(build_dir, "bench", "morvcfg_copy_floor"))


def generate(path, size, crlf=True, shape="long"):
    """Deterministic description text. "long": about 85% ordinary lines of ~70 characters and 15%
    directives of every kind. "real": shaped like real description files, lines whose lengths are
    drawn to average about 50 bytes (blank lines, comments, kernel object lines) with 3% directives.
    "short": lines of about 55 bytes with 15% directives. With crlf, every line ends in CR LF;
    otherwise lines end in LF and about one in a hundred holds a lone CR."""
    rng = random.Random(size * 7 + len(shape))
    directives = [
        "MORV_IFCFG(10.{a}.{b}.{c}, 255.255.0.0);", "MORV_LOCAL(127.0.{a}.{b});", "MORV_DEFGW(10.{a}.0.{b});",
        "MORV_DNS(10.{a}.{b}.2);", "MORV_DEV_ADR(dev_{a}_{b}, 0xA{a:03X}{b:04X});", "MORV_MPF_VERY_SMALL({a}, {b});",
        "MORV_MPF_SMALL({a}, {b});", "MORV_MPF_MIDDLE({a}, {b});", "MORV_MPF_LARGE({a}, {b});",
        "MORV_NTPCFG(1.{a}.{b}.{c});", "MORV_SMTPCFG(10.{a}.{b}.25);", "MORV_POP3CFG(10.{a}.{b}.110);",
    ]
    words = ["task", "handler", "stack", "priority", "queue", "timer", "the", "of", "for", "buffer", "size",
             "interrupt", "init", "TA_HLNG", "NULL", "0x00", "(", ")", ",", ";", "{", "}", "/*", "*/"]
    share = 0.03 if shape == "real" else 0.15
    written = 0
    with open(path, "wb") as out:
        chunk = []
        while written < size:
            a, b, c = rng.randrange(256), rng.randrange(256), rng.randrange(256)
            if rng.random() < share:
                line = rng.choice(directives).format(a=a, b=b, c=c)
            elif shape == "long":
                line = "CRE_TSK(TASK_{:05d}, {{ TA_HLNG|TA_ACT, 0, task_{:05d}, {}, 2048, NULL }});".format(
                    a * 256 + b, c * 256 + a, c % 16)
            else:
                mean = 55 if shape == "real" else 58
                length = 0 if shape == "real" and rng.random() < 0.12 else int(rng.gammavariate(4, mean / 4))
                line = ""
                while len(line) < length:
                    line += rng.choice(words) + " "
                line = line[:length].rstrip()
            if crlf:
                line += "\r\n"
            else:
                if line and rng.random() < 0.01:
                    cut = rng.randrange(0, len(line))
                    line = line[:cut] + "\r" + line[cut:]
                line += "\n"
            data = line.encode()
            chunk.append(data)
            written += len(data)
            if len(chunk) >= 4096:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))


def peak_rss(probe, argv, cwd):
    """Peak resident memory of one run in KiB, measured by the small static probe."""
    result = subprocess.run([probe] + argv, cwd=cwd, check=True, capture_output=True, text=True)
    rss, status = result.stdout.split()
    if status != "0":
        sys.exit("command failed: " + " ".join(argv))
    return int(rss)


def timed(argv, cwd, stdin=None, stdout=None):
    """Wall time of one whole process."""
    actions = []
    if stdin:
        actions.append((os.POSIX_SPAWN_OPEN, 0, stdin, os.O_RDONLY, 0))
    if stdout:
        actions.append((os.POSIX_SPAWN_OPEN, 1, stdout, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644))
    old = os.getcwd()
    os.chdir(cwd)
    try:
        start = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
        _, status = os.waitpid(pid, 0)
        elapsed = time.perf_counter() - start
    finally:
        os.chdir(old)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("command failed: " + " ".join(argv))
    return elapsed


def instructions(argv, cwd, stdin=None, stdout=None):
    """Instructions one run executes in user space, counted by callgrind; and its profile file."""
    out_file = os.path.join(cwd, "callgrind.%d.out" % len(argv[0]))
    with open(stdin or os.devnull, "rb") as given, open(os.path.join(cwd, stdout or "vg.out"), "wb") as taken:
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out_file] + argv, cwd=cwd,
                       stdin=given, stdout=taken, stderr=subprocess.DEVNULL, check=True)
    with open(out_file) as profile:
        for line in profile:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1]), out_file
    return 0, out_file


def alternate(runs, first, second):
    a, b = [], []
    for _ in range(runs):
        a.append(first())
        b.append(second())
    return statistics.median(a), statistics.median(b)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=31, help="alternating runs per large-file figure")
    parser.add_argument("--startup-runs", type=int, default=301, help="alternating runs for start-up")
    parser.add_argument("--keep", help="keep the build and inputs in this directory")
    parser.add_argument("--dir", default="/dev/shm" if os.path.isdir("/dev/shm") else None,
                        help="where the inputs and outputs live (default: /dev/shm, in memory)")
    parser.add_argument("--instructions", action="store_true",
                        help="also count instructions per byte with callgrind (needs valgrind)")
    args = parser.parse_args()

    work = args.keep or tempfile.mkdtemp(prefix="morvcfg-bench-", dir=args.dir)
    os.makedirs(work, exist_ok=True)
    try:
        tool, probe, floor = build(os.path.join(work, "build"))
        tr, cat = shutil.which("tr"), shutil.which("cat")
        run_dir = os.path.join(work, "run")
        os.makedirs(run_dir, exist_ok=True)
        inputs = {}
        for mib in (16, 64, 256):
            inputs[mib] = os.path.join(work, "in%d.cfg" % mib)
            if not os.path.exists(inputs[mib]):
                generate(inputs[mib], mib * MIB)
        lf_input = os.path.join(work, "lf64.cfg")
        if not os.path.exists(lf_input):
            generate(lf_input, 64 * MIB, crlf=False)
        shaped = {}
        for shape in ("real", "short"):
            shaped[shape] = os.path.join(work, "%s64.cfg" % shape)
            if not os.path.exists(shaped[shape]):
                generate(shaped[shape], 64 * MIB, shape=shape)
        empty = os.path.join(work, "empty.cfg")
        open(empty, "wb").close()
        example = os.path.join(ROOT, "examples", "target.cfg")

        def tool_on(path):
            return lambda: timed([tool, path, "out.cfg"], run_dir)

        print("morvcfg benchmark: ratios of medians, morvcfg / reference, measured alternately")
        tool64, cat64 = alternate(args.runs, tool_on(inputs[64]),
                                  lambda: timed([cat, inputs[64]], run_dir, stdout="cat.out"))
        print("1. common case, 64 MiB CR LF:  morvcfg %.3f s, cat %.3f s          ratio %.2f  (target <= 1.5)"
              % (tool64, cat64, tool64 / cat64))
        for shape, label, target in (("real", "real-shaped, 64 MiB CR LF: ", 1.2),
                                     ("short", "short lines, 15% directives:", 1.4)):
            tool_s, cat_s = alternate(args.runs, tool_on(shaped[shape]),
                                      lambda: timed([cat, shaped[shape]], run_dir, stdout="cat.out"))
            print("   %s morvcfg %.3f s, cat %.3f s          ratio %.2f  (target <= %.1f)"
                  % (label, tool_s, cat_s, tool_s / cat_s, target))
        # What reading and writing every byte costs at all, beside cat (which may copy in the kernel).
        floor_s, cat_s = alternate(args.runs, lambda: timed([floor, shaped["real"], "floor.out"], run_dir),
                                   lambda: timed([cat, shaped["real"]], run_dir, stdout="cat.out"))
        print("   floor: a plain read/write copy of the real-shaped file %.3f s, cat %.3f s  ratio %.2f"
              % (floor_s, cat_s, floor_s / cat_s))
        tool_lf, tr_lf = alternate(args.runs, tool_on(lf_input),
                                   lambda: timed([tr, "-d", "\r"], run_dir, stdin=lf_input, stdout="tr.out"))
        print("2. LF and lone CRs, 64 MiB:    morvcfg %.3f s, tr -d '\\r' %.3f s   ratio %.2f  (target <= 1.0)"
              % (tool_lf, tr_lf, tool_lf / tr_lf))

        rss_big = max(peak_rss(probe, [tool, inputs[256], "out.cfg"], run_dir) for _ in range(3))
        rss_empty = max(peak_rss(probe, [tool, empty, "out.cfg"], run_dir) for _ in range(3))
        print("3. memory, 256 MiB:            peak RSS %d KiB vs %d KiB on an empty file, growth %d KiB  "
              "(target < 1024)" % (rss_big, rss_empty, rss_big - rss_empty))

        start_tool, start_cat = alternate(args.startup_runs, tool_on(example),
                                          lambda: timed([cat, example], run_dir, stdout="cat.out"))
        print("4. start-up, example:          morvcfg %.3f ms, cat %.3f ms        ratio %.2f  (target <= 1.2)"
              % (start_tool * 1e3, start_cat * 1e3, start_tool / start_cat))

        per_mib = {}
        for mib in (16, 64, 256):
            per_mib[mib] = statistics.median(tool_on(inputs[mib])() for _ in range(args.runs)) / mib
        print("5. scaling:                    %s   per-MiB ratio 256/16 %.2f  (linear near 1.0)"
              % (", ".join("%d MiB %.3f s" % (m, per_mib[m] * m) for m in (16, 64, 256)),
                 per_mib[256] / per_mib[16]))

        if args.instructions:
            for shape, label in (("real", "real-shaped"), ("short", "short lines, 15% directives")):
                small = os.path.join(work, "%s8.cfg" % shape)
                generate(small, 8 * MIB, shape=shape)
                with open(small, "rb") as text:
                    lines = directives = 0
                    for line in text:
                        lines += 1
                        directives += line.startswith(b"MORV_")
                size = os.path.getsize(small)
                tool_ir, profile = instructions([tool, small, "out.cfg"], run_dir)
                cat_ir, _ = instructions([cat, small], run_dir, stdout="cat.out")
                print("6. instructions, 8 MiB %s (%d lines, %d directives): morvcfg %.3f a byte (%.0f a line), "
                      "cat %.3f a byte" % (label, lines, directives, tool_ir / size, tool_ir / lines, cat_ir / size))
                annotated = subprocess.run(["callgrind_annotate", "--inclusive=no", profile], capture_output=True,
                                           text=True).stdout
                print("   where morvcfg's instructions go (self):")
                for line in [line for line in annotated.splitlines() if line.strip()[:1].isdigit()][1:9]:
                    print("     " + line.strip()[:110])
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
