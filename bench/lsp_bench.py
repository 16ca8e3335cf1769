#!/usr/bin/env python3
"""The language server on every keystroke, against a cold morvcfg-check process, in one run.

Builds a Release morvcfg-check, then for the bundled example and a generated description file of
10,000 lines (real-shaped: about 3% directives, a few mistakes), measures

  1. the time from a textDocument/didChange (one character edited) to its publishDiagnostics, in a
     warm server, as a ratio of medians against one `morvcfg-check FILE` process on the same file
     (target <= 1.0);
  2. the server's resident memory after the timed edits and after 1,000 more of the large file (it
     must not grow with edits).

Files live in memory (/dev/shm, or --dir). Usage: bench/lsp_bench.py [--runs N] [--dir DIR]
"""
import argparse
import json
import os
import random
import shutil
import statistics
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DMORVCFG_BUILD_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "morvcfg-check"], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "morvcfg-check")


def generate(path, lines):
    rng = random.Random(lines)
    directives = ["MORV_IFCFG(10.{a}.{b}.40, 255.255.255.0);", "MORV_DEFGW(10.{a}.{b}.1);", "MORV_DNS(10.{a}.{b}.2);",
                  "MORV_DEV_ADR(dev_{a}, 0xA{a:03X}{b:04X});", "MORV_MPF_SMALL({a}, {b});", "  MORV_LOCAL(127.0.{a});"]
    with open(path, "w", newline="") as out:
        for _ in range(lines):
            a, b = rng.randrange(256), rng.randrange(256)
            if rng.random() < 0.03:
                line = rng.choice(directives).format(a=a, b=b)
            else:
                line = "CRE_TSK(TASK_{:05d}, {{ TA_HLNG, 0, task_{:03d}, {}, 2048, NULL }});".format(a * 256 + b, a, b % 16)
            out.write(line + "\r\n")


class Server:
    def __init__(self, checker):
        self.process = subprocess.Popen([checker, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 1

    def send(self, message):
        body = json.dumps(message).encode()
        self.process.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.process.stdin.flush()

    def receive(self):
        length = 0
        while True:
            line = self.process.stdout.readline()
            if line == b"\r\n":
                break
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":")[1])
        return json.loads(self.process.stdout.read(length))

    def request(self, method, params):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        while True:
            message = self.receive()
            if message.get("id") == self.next_id:
                return message

    def wait_for_diagnostics(self, version):
        while True:
            message = self.receive()
            if message.get("method") == "textDocument/publishDiagnostics" and message["params"].get("version") == version:
                return message

    def rss_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def stop(self):
        self.request("shutdown", None)
        self.send({"jsonrpc": "2.0", "method": "exit"})
        self.process.wait(timeout=30)


def edits(server, uri, text, count, version):
    """Edits one character of the line after the first directive back and forth; returns the
    seconds from each didChange to its diagnostics."""
    line = text.count("\n", 0, text.find("MORV_")) + 1
    times = []
    for i in range(count):
        version += 1
        change = {"range": {"start": {"line": line, "character": 0}, "end": {"line": line, "character": 1}},
                  "text": "C" if i % 2 else "c"}
        start = time.perf_counter()
        server.send({"jsonrpc": "2.0", "method": "textDocument/didChange",
                     "params": {"textDocument": {"uri": uri, "version": version}, "contentChanges": [change]}})
        server.wait_for_diagnostics(version)
        times.append(time.perf_counter() - start)
    return times, version


def cold_runs(checker, path, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([checker, path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=101)
    parser.add_argument("--dir", default="/dev/shm" if os.path.isdir("/dev/shm") else None)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="morvcfg-lsp-bench-", dir=args.dir)
    try:
        checker = build(os.path.join(ROOT, "build-bench"))
        large = os.path.join(work, "large.cfg")
        generate(large, 10000)
        example = os.path.join(work, "target.cfg")
        shutil.copy(os.path.join(ROOT, "examples", "target.cfg"), example)
        print("figure                                   warm server   cold process  ratio  target")
        for name, path in (("bundled example", example), ("10,000-line file", large)):
            with open(path, newline="") as source:
                text = source.read()
            uri = "file://" + path
            server = Server(checker)
            server.request("initialize", {"capabilities": {}})
            server.send({"jsonrpc": "2.0", "method": "initialized", "params": {}})
            server.send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
                         "params": {"textDocument": {"uri": uri, "languageId": "morvcfg", "version": 1, "text": text}}})
            server.wait_for_diagnostics(1)
            warm, version = edits(server, uri, text, args.runs, 1)
            cold = cold_runs(checker, path, args.runs)
            ratio = statistics.median(warm) / statistics.median(cold)
            print("didChange to diagnostics, %-16s %8.3f ms   %8.3f ms  %5.2f  <= 1.0" % (
                name, statistics.median(warm) * 1000, statistics.median(cold) * 1000, ratio))
            if path == large:
                early = server.rss_kib()
                _, version = edits(server, uri, text, 1000, version)
                late = server.rss_kib()
                print("server memory after %d and %d edits:  %d KiB -> %d KiB (growth %+d KiB; target: none)" % (
                    args.runs, args.runs + 1000, early, late, late - early))
            server.stop()
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
