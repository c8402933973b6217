#!/usr/bin/env python3
"""Does the test suite notice a small deliberate fault? One mutant at a time:
apply it, rebuild the test programs, run the suite, put the file back.

    tools/mutants.py [LIST.tsv] [--only ID,ID] [--preset default] [--jobs 2]

LIST.tsv (default tests/mutants.tsv): one mutant a line, four fields separated by
tabs: id, file, original text, replacement. The original text must occur exactly
once in the file; \\t and \\n stand for a tab and a line break. Lines starting
with # are comments.

Verdicts: killed (a test failed, or a test program failed while its tests were
listed), survived (everything passed), no-build and stale (original text missing
or not unique); the last two are not counted. The last line: killed K of N (P%).
"""
import argparse
import json
import os
import signal
import subprocess
import sys
import time


def fields(text):
    return text.replace("\\t", "\t").replace("\\n", "\n")


def read_list(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 4:
                sys.exit(f"{path}:{number}: want 4 tab-separated fields, got {len(parts)}")
            out.append((parts[0], parts[1], fields(parts[2]), fields(parts[3])))
    return out


def run(command, timeout, env=None):
    try:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout, env=env)
        return done.returncode, done.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return 124, "timeout"


def test_programs(preset):
    """The executables CTest runs, so a mutant rebuilds those and nothing else."""
    code, out = run(["ctest", "--preset", preset, "--show-only=json-v1"], 120)
    if code != 0:
        return []
    names = set()
    build_dir = os.path.realpath("build" if preset == "default" else "build-" + preset)
    for test in json.loads(out).get("tests", []):
        # A test run by a tool (cmake -P for the layering check) builds nothing of ours,
        # but a program of ours among its arguments (the browser test's server) is rebuilt.
        for part in test.get("command") or []:
            path = os.path.realpath(part)
            if path.startswith(build_dir + os.sep) and os.path.isfile(path) and os.access(path, os.X_OK):
                names.add(os.path.basename(path))
    return sorted(names)


def failures(out):
    names = []
    for line in out.splitlines():
        line = line.strip()
        if line[:1].isdigit() and " - " in line and ("Failed" in line or "Timeout" in line or "Exception" in line):
            names.append(line.split(" - ", 1)[1].split(" (")[0])
    return names


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("list", nargs="?", default="tests/mutants.tsv")
    ap.add_argument("--only", default="")
    ap.add_argument("--preset", default="default")
    ap.add_argument("--jobs", default="2")
    a = ap.parse_args()

    mutants = read_list(a.list)
    if a.only:
        wanted = set(a.only.split(","))
        mutants = [m for m in mutants if m[0] in wanted]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    full_build = ["cmake", "--build", "--preset", a.preset]
    if run(full_build, 1800)[0] != 0:
        sys.exit("the tree does not build as it is")
    targets = test_programs(a.preset)
    build = full_build + (["--target"] + targets if targets else [])
    # The first failure settles a verdict; a survivor runs everything anyway.
    test = ["ctest", "--preset", a.preset, "-j", a.jobs, "--timeout", "120", "--stop-on-failure"]
    code, out = run(test, 1800, env)
    if code != 0:
        sys.exit("the suite fails without any mutant: " + ", ".join(failures(out)))

    held = {}

    def put_back(*signum):
        for path, text in held.items():
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        held.clear()
        if signum:
            sys.exit(130)

    signal.signal(signal.SIGINT, put_back)
    signal.signal(signal.SIGTERM, put_back)

    results = []
    try:
        for mid, path, original, replacement in mutants:
            started = time.monotonic()
            try:
                with open(path, encoding="utf-8") as f:
                    text = f.read()
            except OSError:
                results.append((mid, path, "stale", "no such file"))
                print(f"{mid:12} stale     {path}: no such file", flush=True)
                continue
            if text.count(original) != 1:
                detail = f"original found {text.count(original)} times"
                results.append((mid, path, "stale", detail))
                print(f"{mid:12} stale     {path}: {detail}", flush=True)
                continue
            held[path] = text
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(original, replacement))
            code, out = run(build, 1800)
            if code != 0 and ("gtest_discover_tests" in out or "Error running test executable" in out):
                verdict, detail = "killed", "a test program failed while listing its tests"
            elif code != 0:
                lines = out.strip().splitlines()
                verdict, detail = "no-build", lines[-1][:100] if lines else ""
            else:
                code, out = run(test, 1800, env)
                names = failures(out)
                verdict = "survived" if code == 0 else "killed"
                detail = ", ".join(names[:2]) if names else ("" if code == 0 else out.strip()[-80:])
            put_back()
            results.append((mid, path, verdict, detail))
            print(f"{mid:12} {verdict:9} {time.monotonic() - started:4.0f}s  {path}  {detail}", flush=True)
    finally:
        put_back()
        run(full_build, 1800)

    counted = [r for r in results if r[2] in ("killed", "survived")]
    killed = sum(1 for r in counted if r[2] == "killed")
    for mid, path, verdict, detail in results:
        if verdict != "killed":
            print(f"{verdict}: {mid} {path} {detail}")
    share = 100.0 * killed / len(counted) if counted else 0.0
    print(f"killed {killed} of {len(counted)} ({share:.0f}%)")


if __name__ == "__main__":
    main()
