#!/usr/bin/env python3
"""Plants the faults of mutants.toml one at a time and shows which tests catch each.

The faults go into a copy of the working tree (build-mutants/tree, built in
build-mutants/build, so each rebuild is incremental), never into the tree itself. Per
mutant: killed (some test failed or the tests ran out of time), survived (every test
passed), not compiled, or no longer applies (its code is not in the file exactly once).
The score is killed / (killed + survived). Results are kept in build-mutants/results.json,
so --report can show them again and a run of a few mutants updates a full run's figures.

  run.py                      every mutant
  run.py ID|PATH ...          the mutants with that id, or in files under that path
  run.py --killers ...        also the tests that killed each mutant, per test file (without
                              it the tests of a mutant stop at the first failure)
  run.py --list               the mutants and whether each still applies; builds nothing
  run.py --report [--killers] the saved results again
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import tomllib
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WORK = ROOT / "build-mutants"
TREE = WORK / "tree"
BUILD = WORK / "build"
RESULTS = WORK / "results.json"
MUTANTS = Path(__file__).with_name("mutants.toml")
# Debug keeps Qt's checks (an index out of range stops the test); without debug
# information each mutant links sooner.
CMAKE_FLAGS = ("-G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 "
               "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
JOBS = str(os.cpu_count() or 2)
PER_TEST_TIMEOUT = 60
FAILED_LOG = BUILD / "Testing" / "Temporary" / "LastTestsFailed.log"
# What tools/install-deps.sh puts into the working tree: git ignores it, the tests need it.
INSTALLED = ("tools/axe/node_modules",)
ID_WIDTH = 38  # the longest id, so that the columns of the listings line up


def load_mutants():
    mutants = tomllib.loads(MUTANTS.read_text(encoding="utf-8"))["mutant"]
    seen = set()
    for m in mutants:
        missing = {"id", "file", "code", "replace", "fault"} - m.keys()
        if missing or m["id"] in seen or m["code"] == m["replace"]:
            sys.exit(f"mutants.toml: mutant {m.get('id')}: missing {sorted(missing)}, "
                     "a repeated id, or a replacement equal to its code")
        seen.add(m["id"])
    return mutants


def select(mutants, selectors):
    if not selectors:
        return mutants
    chosen = [m for m in mutants
              if any(s == m["id"] or m["file"].startswith(s.rstrip("/")) for s in selectors)]
    if not chosen:
        sys.exit(f"no mutant matches {' '.join(selectors)}")
    return chosen


def occurrences(tree, m):
    path = tree / m["file"]
    return path.read_bytes().count(m["code"].encode()) if path.is_file() else 0


def sync_tree():
    """Copies the working tree's files (tracked, new ones not ignored, and what the
    dependency script installed there) into TREE.
    Changed files get a fresh time, so the build there sees them; unchanged ones are left."""
    listing = subprocess.run(
        ["git", "-C", str(ROOT), "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        check=True, capture_output=True).stdout.decode().split("\0")
    wanted = {name for name in listing if name and (ROOT / name).is_file()}
    for name in wanted:
        source, target = ROOT / name, TREE / name
        if not target.is_file() or target.read_bytes() != source.read_bytes():
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(source, target)
    for name in INSTALLED:
        if (ROOT / name).is_dir():
            shutil.copytree(ROOT / name, TREE / name, dirs_exist_ok=True)
    for path in TREE.rglob("*"):
        name = str(path.relative_to(TREE))
        if (path.is_file() and name not in wanted
                and not any(name.startswith(kept + "/") for kept in INSTALLED)):
            path.unlink()


def run(command, timeout):
    """Runs a command in its own process group; returns (exit status or None on timeout,
    output). On timeout or interruption the whole group is ended, tests and all."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True, text=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        return None, process.communicate()[0]
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        raise


def build(targets=()):
    command = ["cmake", "--build", str(BUILD), "-j", JOBS]
    status, output = run(command + ["--target", *targets] if targets else command, 3600)
    return status == 0, output


def test_targets():
    """The programs the tests run, as build targets: a mutant rebuilds these and what they
    depend on, not the benchmarks or the tools."""
    listing = json.loads(subprocess.run(
        ["ctest", "--test-dir", str(BUILD), "--show-only=json-v1"],
        check=True, capture_output=True, text=True).stdout)
    return sorted({str(Path(arg).relative_to(BUILD)) for test in listing["tests"]
                   for arg in test.get("command", [])
                   if Path(arg).is_file() and BUILD in Path(arg).parents})


def run_tests(timeout, every=True):
    """Returns the names of the failed tests, or None when the run took longer than timeout.
    Unless `every`, the run stops at the first failure (CTest starts with the tests that
    failed last time, which often catch the next mutant of the same file too)."""
    FAILED_LOG.unlink(missing_ok=True)
    status, _ = run(["ctest", "--test-dir", str(BUILD), "-j", JOBS, "-Q",
                     "--timeout", str(min(PER_TEST_TIMEOUT, timeout))]
                    + ([] if every else ["--stop-on-failure"]), timeout)
    if status is None:
        return None
    failed = FAILED_LOG.read_text().split() if FAILED_LOG.exists() else []
    return [line.split(":", 1)[1] for line in failed]


def baseline():
    """Builds the copy unchanged and checks that every test passes; returns the test time."""
    subprocess.run(["cmake", "-S", str(TREE), "-B", str(BUILD), *CMAKE_FLAGS.split()],
                   check=True, stdout=subprocess.DEVNULL)
    ok, output = build()
    if not ok:
        sys.exit(output + "\nThe tree does not build without mutants; nothing was tried.")
    start = time.monotonic()
    failed = run_tests(timeout=3600)
    if failed:
        sys.exit("These tests fail without mutants; nothing was tried:\n  " + "\n  ".join(failed))
    return time.monotonic() - start


def try_mutant(m, targets, timeout, every):
    count = occurrences(TREE, m)
    if count != 1:
        return {"status": "no longer applies",
                "why": "code not found" if count == 0 else f"code found {count} times"}
    path = TREE / m["file"]
    original = path.read_bytes()
    path.write_bytes(original.replace(m["code"].encode(), m["replace"].encode()))
    try:
        ok, _ = build(targets)
        if not ok:
            return {"status": "not compiled"}
        failed = run_tests(timeout, every)
        if failed is None:
            return {"status": "killed", "killers": ["(tests ran out of time)"]}
        return {"status": "killed", "killers": failed} if failed else {"status": "survived"}
    finally:
        path.write_bytes(original)


def test_files():
    """Maps each test name ("Suite.Case", or a plain CTest name) to the file defining it."""
    files = {}
    for path in (ROOT / "tests").rglob("*"):
        if path.suffix == ".cpp":
            for suite, case in re.findall(r"^TEST(?:_F)?\(\s*(\w+)\s*,\s*(\w+)\s*\)",
                                          path.read_text(encoding="utf-8"), re.M):
                files[f"{suite}.{case}"] = str(path.relative_to(ROOT))
        elif path.name == "CMakeLists.txt":
            for name in re.findall(r"add_test\(\s*NAME\s+(\S+)", path.read_text(encoding="utf-8")):
                files[name] = str(path.relative_to(ROOT))
    return files


def report(mutants, results, killers, complete):
    counts = {s: 0 for s in ("killed", "survived", "not compiled", "no longer applies")}
    for m in mutants:
        if m["id"] in results:
            counts[results[m["id"]]["status"]] += 1
    tried = counts["killed"] + counts["survived"]
    print("\n" + ", ".join(f"{n} {s}" for s, n in counts.items()))
    if tried:
        print(f"Score: {counts['killed']}/{tried} = {100 * counts['killed'] / tried:.0f}%")
    for status in ("survived", "not compiled", "no longer applies"):
        listed = [m for m in mutants if results.get(m["id"], {}).get("status") == status]
        if listed:
            print(f"\n{status.capitalize()}:")
            for m in listed:
                why = results[m["id"]].get("why")
                print(f"  {m['id']:{ID_WIDTH}} {m['file']}: {m['fault']}"
                      + (f" ({why})" if why else ""))
    if not killers:
        return
    files = test_files()
    sole = {}
    for m in mutants:
        tests = results.get(m["id"], {}).get("killers", [])
        catching = {files.get(t, "(not found in tests/)") for t in tests}
        if len(catching) == 1:
            sole.setdefault(catching.pop(), []).append((m["id"], tests))
    print("\nCaught by the tests of one file only (keep one of them when consolidating):")
    for file in sorted(sole):
        print(f"  {file}")
        for mutant_id, tests in sole[file]:
            print(f"    {mutant_id:{ID_WIDTH}} {', '.join(tests)}")
    if complete and (BUILD / "CMakeCache.txt").exists():
        listing = subprocess.run(["ctest", "--test-dir", str(BUILD), "-N"],
                                 capture_output=True, text=True).stdout
        every = re.findall(r"Test +#\d+: (\S+)", listing)
        caught = {t for r in results.values() for t in r.get("killers", [])}
        idle = [t for t in every if t not in caught]
        print(f"\nTests that catch no mutant ({len(idle)} of {len(every)}):")
        for t in idle:
            print(f"  {t:70} {files.get(t, '')}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("select", nargs="*", help="mutant ids or source paths (src/db/...)")
    parser.add_argument("--killers", action="store_true", help="show the tests that killed each")
    parser.add_argument("--list", action="store_true", help="list the mutants; build nothing")
    parser.add_argument("--report", action="store_true", help="show the saved results")
    parser.add_argument("--timeout", type=int,
                        help="seconds for the tests of one mutant (default: 3 x baseline + 60)")
    args = parser.parse_args()
    mutants = load_mutants()
    chosen = select(mutants, args.select)

    if args.list:
        for m in chosen:
            count = occurrences(ROOT, m)
            applies = "applies" if count == 1 else f"found {count} times"
            print(f"{m['id']:{ID_WIDTH}} {applies:14} {m['file']}: {m['fault']}")
        return
    saved = json.loads(RESULTS.read_text()) if RESULTS.exists() else {}
    if args.report:
        report(mutants, saved, args.killers, all(m["id"] in saved for m in mutants))
        return

    TREE.mkdir(parents=True, exist_ok=True)
    sync_tree()
    print("Building and testing the copy without mutants...", flush=True)
    test_seconds = baseline()
    timeout = args.timeout or int(3 * test_seconds + 60)
    targets = test_targets()
    print(f"Baseline: every test passes in {test_seconds:.0f} s; {len(chosen)} mutants, "
          f"{timeout} s for the tests of each.", flush=True)
    started = time.monotonic()
    for n, m in enumerate(chosen, 1):
        begin = time.monotonic()
        result = try_mutant(m, targets, timeout, args.killers)
        result["seconds"] = round(time.monotonic() - begin)
        saved[m["id"]] = result
        RESULTS.write_text(json.dumps(saved, indent=1))
        print(f"[{n:3}/{len(chosen)}] {result['status']:17} {m['id']:{ID_WIDTH}} {m['file']} "
              f"({result['seconds']} s)", flush=True)
        if args.killers and result.get("killers"):
            print("        " + "\n        ".join(result["killers"]), flush=True)
    known = {m["id"] for m in mutants}
    RESULTS.write_text(json.dumps({k: v for k, v in saved.items() if k in known}, indent=1))
    report(chosen, saved, args.killers, all(m["id"] in saved for m in mutants))
    print(f"\nWall time: {(time.monotonic() - started) / 60:.0f} min")


if __name__ == "__main__":
    main()
