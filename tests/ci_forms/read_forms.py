#!/usr/bin/python3
"""The CI forms read back by what reads them in CI, against the JSON form of the same run.

  read_forms.py <morvcfg-check> <work folder>

Checks, on the mistakes example, a file whose name holds the characters the forms escape, a file
with excused warnings and a clean file:
  - JUnit XML through Debian's junitparser: a suite per file, a failure per warning reported;
  - GitLab's Code Quality report against the fields and types GitLab documents as required;
  - GitHub workflow commands unescaped as the runner unescapes them, and the job summary;
  - Checkstyle XML through Python's XML parser.
The work folder is where the files are written; run_forms.mjs reads the same outputs with npm's
JUnit reader.
"""
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import junitparser

checker, work = os.path.abspath(sys.argv[1]), sys.argv[2]
here = os.path.dirname(os.path.abspath(__file__))
failures = []


def fail(what):
    failures.append(what)


os.makedirs(os.path.join(work, "boards"), exist_ok=True)
with open(os.path.join(here, "..", "golden-check", "mistakes", "input.cfg"), "rb") as mistakes:
    files = {"boards/mistakes.cfg": mistakes.read()}
# '%', ':', ',' and a line feed in a name; a '&' and '<' for XML.
files["boards/odd:na,me%25\n<&>.cfg"] = b"  MORV_DNS(192.168.0.2);\r\nMORV_LOCAL(127.0.1); x%y\r\n"
files["boards/excused.cfg"] = b"  MORV_DNS(192.168.0.2); // morvcfg-check: ignore[not-directive]\nMORV_LOCAL(1.2.3)\n"
files["boards/clean.cfg"] = b"/* nothing to say */\nMORV_LOCAL(127.0.0.2);\n"
for name, data in files.items():
    with open(os.path.join(work, name), "wb") as out:
        out.write(data)
names = list(files)


def run(form, env=None):
    done = subprocess.run([checker, "--no-config", "--format=" + form] + names, cwd=work, capture_output=True,
                          env=env)
    if done.returncode != 1:
        fail(f"{form}: exit status {done.returncode}, not 1: {done.stderr!r}")
    with open(os.path.join(work, "out." + form), "wb") as out:
        out.write(done.stdout)
    return done.stdout


truth = json.loads(run("json"))
reported = {f["file"]: [w for w in f["warnings"] if "ignored" not in w] for f in truth["files"]}
excused = {f["file"]: [w for w in f["warnings"] if "ignored" in w] for f in truth["files"]}
with open(os.path.join(work, "truth.json"), "w", encoding="utf-8") as out:
    json.dump({"reported": reported, "excused": excused}, out)

# JUnit, as Jenkins and junitparser read it.
with open(os.path.join(work, "out.junit.xml"), "wb") as out:
    out.write(run("junit"))
suites = {suite.name: suite for suite in junitparser.JUnitXml.fromfile(os.path.join(work, "out.junit.xml"))}
for name in names:
    suite = suites.get(name)
    if suite is None:
        fail(f"junit: no suite for {name!r}")
        continue
    messages = [r.message for case in suite for r in case.result if isinstance(r, junitparser.Failure)]
    skipped = [r for case in suite for r in case.result if isinstance(r, junitparser.Skipped)]
    if messages != [w["message"] for w in reported[name]]:
        fail(f"junit: the failures of {name!r} are not its warnings: {messages}")
    if len(skipped) != len(excused[name]) or suite.skipped != len(excused[name]):
        fail(f"junit: {name!r} skips {len(skipped)}, not its {len(excused[name])} excused warnings")
    if suite.failures != len(reported[name]) or suite.tests < max(1, len(reported[name]) + len(excused[name])):
        fail(f"junit: {name!r} counts {suite.failures} failures of {suite.tests} tests")

# GitLab: the fields GitLab's Code Quality documentation requires, with their types.
quality = json.loads(run("gitlab"))
severities = {"info", "minor", "major", "critical", "blocker"}
expected = [(name, w) for name in names for w in reported[name]]
if not isinstance(quality, list) or len(quality) != len(expected):
    fail(f"gitlab: {len(quality)} issues for {len(expected)} warnings")
for issue, (name, warning) in zip(quality, expected):
    ok = (isinstance(issue.get("description"), str) and isinstance(issue.get("check_name"), str)
          and isinstance(issue.get("fingerprint"), str) and issue.get("severity") in severities
          and isinstance(issue.get("location"), dict) and isinstance(issue["location"].get("path"), str)
          and isinstance(issue["location"].get("lines"), dict)
          and isinstance(issue["location"]["lines"].get("begin"), int))
    if not ok:
        fail(f"gitlab: an issue lacks a required field or type: {issue}")
    elif (issue["description"], issue["check_name"], issue["location"]["path"], issue["location"]["lines"]["begin"]) != (
            warning["message"], warning["category"], name, warning["line"]):
        fail(f"gitlab: {issue} is not the warning {warning}")
prints = [issue.get("fingerprint") for issue in quality]
if len(set(prints)) != len(prints):
    fail("gitlab: two issues share a fingerprint")

# GitHub: each command as the runner reads it (actions/toolkit's command escaping, undone).
summary = os.path.join(work, "summary.md")
with open(summary, "w", encoding="utf-8") as out:
    out.write("before\n")
commands = run("github", dict(os.environ, GITHUB_STEP_SUMMARY=summary)).decode("utf-8").split("\n")[:-1]


def unescape_data(text):
    return text.replace("%0D", "\r").replace("%0A", "\n").replace("%25", "%")


def unescape_property(text):
    return unescape_data(text.replace("%3A", ":").replace("%2C", ","))


if len(commands) != len(expected):
    fail(f"github: {len(commands)} commands for {len(expected)} warnings")
for command, (name, warning) in zip(commands, expected):
    match = re.fullmatch(r"::(warning|error) ([^:]*)::(.*)", command)
    if not match:
        fail(f"github: not a workflow command: {command!r}")
        continue
    properties = dict(part.split("=", 1) for part in match.group(2).split(","))
    properties = {key: unescape_property(value) for key, value in properties.items()}
    read = (match.group(1), properties.get("file"), int(properties.get("line", 0)), properties.get("title"),
            unescape_data(match.group(3)))
    if read != (warning["level"], name, warning["line"], f"morvcfg-check [-W{warning['category']}]",
                warning["message"]):
        fail(f"github: {command!r} reads as {read}, not the warning {warning}")
with open(summary, encoding="utf-8") as given:
    table = given.read()
rows = [line for line in table.split("\n") if line.startswith("| ") and not line.startswith(("| File", "| ---"))]
if not table.startswith("before\n### morvcfg-check\n") or len(rows) != len(expected):
    fail(f"github: the summary has {len(rows)} rows for {len(expected)} warnings:\n{table}")

# Checkstyle: well-formed XML whose error elements are the warnings reported.
root = ElementTree.fromstring(run("checkstyle"))
for file in root.iter("file"):
    name = file.get("name")
    got = [(e.get("severity"), int(e.get("line")), e.get("message"), e.get("source")) for e in file.iter("error")]
    want = [(w["level"], w["line"], w["message"], "morvcfg-check.-W" + w["category"]) for w in reported.get(name, [])]
    if name not in reported or got != want:
        fail(f"checkstyle: the errors of {name!r} are not its warnings")
if [f.get("name") for f in root.iter("file")] != names:
    fail("checkstyle: not one file element a file")

for what in failures:
    print("FAILED:", what)
if failures:
    sys.exit(1)
print(f"JUnit (junitparser), GitLab Code Quality, GitHub commands and summary, Checkstyle: {len(expected)} warnings "
      f"in {len(names)} files read back as the JSON form gives them")
