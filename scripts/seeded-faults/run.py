#!/usr/bin/env python3
"""Seeded-fault run: does the test suite catch each fault of faults.txt?

For every record the script puts the fault into a private copy of the source tree, builds
the test programs there (Release, no GUI), runs the programs whose binary changed and
records the fault as caught (a test failed, crashed or hung), not caught, or
did-not-compile. A record whose file or text cannot be found is an error and is counted
as such, never passed over. The copy lives in build/faults/src, the build in
build/faults/build; the working tree itself is never changed.

    python3 scripts/seeded-faults/run.py                  # every fault
    python3 scripts/seeded-faults/run.py --check          # only check that every record applies
    python3 scripts/seeded-faults/run.py --only F03,F17   # some faults
    python3 scripts/seeded-faults/run.py --programs test_formats,test_document
    python3 scripts/seeded-faults/run.py --save before.json
    python3 scripts/seeded-faults/run.py --compare before.json after.json
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent
SKIPPED_DIRS = {".git", "build"}
SOURCE_SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}


@dataclass
class Fault:
    ident: str
    path: str
    kind: str = ""
    what: str = ""
    original: list = field(default_factory=list)
    replacement: list = field(default_factory=list)
    line: int = 0

    @property
    def old(self):
        return "\n".join(self.original)

    @property
    def new(self):
        return "\n".join(self.replacement)


def parse_faults(text):
    """Records: '[ID] path', then 'kind:' and 'what:' lines, '- ' lines of the original
    text and '+ ' lines of its replacement (several lines each join with line feeds)."""
    faults = []
    for number, raw in enumerate(text.splitlines(), 1):
        if not raw.strip() or raw.startswith("#"):
            continue
        header = re.match(r"^\[(\w+)\]\s+(\S+)\s*$", raw)
        if header:
            faults.append(Fault(header.group(1), header.group(2), line=number))
            continue
        if not faults:
            sys.exit(f"faults.txt:{number}: text before the first record")
        fault = faults[-1]
        if raw.startswith("kind:"):
            fault.kind = raw[5:].strip()
        elif raw.startswith("what:"):
            fault.what = raw[5:].strip()
        elif raw.startswith("- ") or raw == "-":
            fault.original.append(raw[2:])
        elif raw.startswith("+ ") or raw == "+":
            fault.replacement.append(raw[2:])
        else:
            sys.exit(f"faults.txt:{number}: cannot read line: {raw!r}")
    seen = set()
    for fault in faults:
        if fault.ident in seen:
            sys.exit(f"faults.txt:{fault.line}: {fault.ident} appears twice")
        seen.add(fault.ident)
        if not fault.original or fault.old == fault.new:
            sys.exit(f"faults.txt:{fault.line}: {fault.ident} changes nothing")
    return faults


def source_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = [d for d in dirnames if d not in SKIPPED_DIRS]
        for name in filenames:
            yield Path(dirpath, name)


def locate(fault, root):
    """The file of a record, found again by its name when it has moved; (path, note) or
    (None, reason)."""
    direct = root / fault.path
    if direct.is_file():
        return direct, ""
    name = Path(fault.path).name
    matches = [p for p in source_files(root) if p.name == name and p.suffix in SOURCE_SUFFIXES]
    if len(matches) == 1:
        return matches[0], f"moved: {fault.path} -> {matches[0].relative_to(root)}"
    if not matches:
        return None, f"file not found: {fault.path}"
    return None, f"file {fault.path} not found and its name is ambiguous: " + ", ".join(
        str(m.relative_to(root)) for m in matches)


def check_record(fault, root):
    path, note = locate(fault, root)
    if path is None:
        return None, note
    count = path.read_text().count(fault.old)
    if count != 1:
        where = path.relative_to(root)
        return None, (f"original text not found in {where}" if count == 0 else
                      f"original text found {count} times in {where}")
    return path, note


def sync_tree(source, copy):
    """Makes `copy` hold the files of `source` (build folders and .git left out); files
    whose bytes are the same keep their time stamps so that nothing rebuilds for them."""
    copy.mkdir(parents=True, exist_ok=True)
    wanted = set()
    for path in source_files(source):
        rel = path.relative_to(source)
        wanted.add(rel)
        target = copy / rel
        data = path.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(path, target)
    for path in list(source_files(copy)):
        if path.relative_to(copy) not in wanted:
            path.unlink()


def run(cmd, **kwargs):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", **kwargs)


class Builder:
    def __init__(self, args, copy, build):
        self.args = args
        self.copy = copy
        self.build = build

    def configure(self):
        cmd = ["cmake", "-S", str(self.copy), "-B", str(self.build), "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=Release", "-DSPM_BUILD_GUI=OFF", "-DSPM_BUILD_BENCH=OFF"]
        if shutil.which("ccache"):
            # Restoring a file then costs a cache hit instead of a compile.
            cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        result = run(cmd)
        if result.returncode != 0:
            sys.exit("configure failed:\n" + result.stdout[-4000:])

    def compile(self):
        cmd = ["cmake", "--build", str(self.build), "-j", str(self.args.jobs)]
        if self.args.programs:
            cmd += ["--target", *self.args.programs.split(",")]
        return run(cmd)

    def programs(self):
        found = sorted(p for p in (self.build / "tests").glob("test_*")
                       if p.is_file() and os.access(p, os.X_OK) and p.suffix == "")
        if self.args.programs:
            wanted = set(self.args.programs.split(","))
            found = [p for p in found if p.name in wanted]
        return found


def test_env(build):
    env = dict(os.environ)
    locale_dir = build.parent / "locale"
    if not (locale_dir / "de_DE.UTF-8").exists():
        locale_dir.mkdir(parents=True, exist_ok=True)
        run(["localedef", "-i", "de_DE", "-f", "UTF-8", str(locale_dir / "de_DE.UTF-8")])
    if (locale_dir / "de_DE.UTF-8").exists():
        env["LOCPATH"] = str(locale_dir)
    return env


def run_program(program, timeout, env, fail_fast=False):
    """(failed test names, outcome) of one test program; outcome 'pass', 'fail', 'crash' or
    'timeout'."""
    cmd = [str(program), "--gtest_brief=1", "--gtest_color=no"]
    if fail_fast:
        cmd.append("--gtest_fail_fast")
    try:
        result = run(cmd, timeout=timeout, env=env, cwd=program.parent)
    except subprocess.TimeoutExpired:
        return [], "timeout"
    failed = sorted(set(re.findall(r"^\[  FAILED  \] (\S+?)(?:,| \(|$)", result.stdout, re.M)))
    if result.returncode == 0:
        return [], "pass"
    return failed, "fail" if failed else "crash"


def stamps(programs):
    return {p: p.stat().st_mtime_ns for p in programs}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tree", default=str(HERE.parent.parent), help="source tree (default: this repository)")
    parser.add_argument("--faults", default=str(HERE / "faults.txt"))
    parser.add_argument("--work", help="work folder (default: TREE/build/faults)")
    parser.add_argument("--only", help="comma-separated fault ids")
    parser.add_argument("--programs", help="comma-separated test programs to run (default: all built)")
    parser.add_argument("--jobs", type=int, default=4)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test program")
    parser.add_argument("--check", action="store_true", help="only check that every record applies")
    parser.add_argument("--workers", type=int, default=1,
                        help="split the faults over this many copies of the tree, built side by side")
    parser.add_argument("--fail-fast", action="store_true",
                        help="stop each test program at its first failure (faster; fewer names reported)")
    parser.add_argument("--save", help="write the results as JSON to this file")
    parser.add_argument("--compare", nargs=2, metavar=("BEFORE", "AFTER"),
                        help="compare two saved result files and exit")
    args = parser.parse_args()

    if args.compare:
        return compare(*args.compare)

    tree = Path(args.tree).resolve()
    faults = parse_faults(Path(args.faults).read_text())
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f.ident in wanted]

    errors = {}
    for fault in faults:
        path, note = check_record(fault, tree)
        if path is None:
            errors[fault.ident] = note
        elif note:
            print(f"{fault.ident}: {note}")
    for ident, reason in errors.items():
        print(f"{ident}: ERROR {reason}")
    if args.check:
        print(f"{len(faults) - len(errors)} of {len(faults)} records apply")
        return 1 if errors else 0

    work = Path(args.work).resolve() if args.work else tree / "build" / "faults"
    # Paths below the work folder are cached relative to it, so every copy of the tree
    # shares the compiler cache.
    os.environ.setdefault("CCACHE_BASEDIR", str(work))
    if args.workers > 1:
        return run_workers(args, faults, errors, work)
    copy, build = work / "src", work / "build"
    sync_tree(tree, copy)
    # The tests find the real samples beside the project, as ../shared/samples.
    shared = tree.parent / "shared"
    link = work / "shared"
    if shared.is_dir() and not link.exists():
        link.symlink_to(shared)
    builder = Builder(args, copy, build)
    builder.configure()
    env = test_env(build)

    started = time.time()
    result = builder.compile()
    if result.returncode != 0:
        sys.exit("the unchanged tree does not build:\n" + result.stdout[-4000:])
    programs = builder.programs()
    for program in programs:
        failed, outcome = run_program(program, args.timeout, env)
        if outcome != "pass":
            sys.exit(f"{program.name} fails on the unchanged tree ({outcome}): {' '.join(failed)}")
    print(f"unchanged tree: {len(programs)} test programs pass "
          f"({', '.join(p.name for p in programs)})", flush=True)

    results = {}
    for fault in faults:
        if fault.ident in errors:
            results[fault.ident] = {"outcome": "error", "reason": errors[fault.ident]}
            continue
        results[fault.ident] = try_fault(fault, tree, copy, builder, programs, args, env)
        r = results[fault.ident]
        detail = "; ".join(f"{name}: {' '.join(tests) or r['how'].get(name, '')}"
                           for name, tests in r.get("failed", {}).items())
        print(f"{fault.ident} {r['outcome']:<16} {fault.what}" + (f"  [{detail}]" if detail else ""),
              flush=True)

    return report(results, programs=[p.name for p in programs], started=started, save=args.save)


def report(results, programs, started, save):
    counts = {}
    for r in results.values():
        counts[r["outcome"]] = counts.get(r["outcome"], 0) + 1
    print()
    print(f"caught {counts.get('caught', 0)} of {len(results)}  "
          f"(not caught {counts.get('not caught', 0)}, did not compile {counts.get('did-not-compile', 0)}, "
          f"errors {counts.get('error', 0)}; {time.time() - started:.0f} s)")
    escaped = [ident for ident, r in results.items() if r["outcome"] == "not caught"]
    if escaped:
        print("not caught: " + ", ".join(escaped))
    if save:
        Path(save).write_text(json.dumps({"programs": programs, "results": results}, indent=1, sort_keys=True))
    return 0


def run_workers(args, faults, errors, work):
    """Runs this script once per worker on every n-th fault, each in a tree copy of its own,
    and merges what they found."""
    started = time.time()
    work.mkdir(parents=True, exist_ok=True)
    children = []
    for k in range(args.workers):
        subset = [f.ident for f in faults[k::args.workers] if f.ident not in errors]
        if not subset:
            continue
        part = work / f"worker{k}.json"
        cmd = [sys.executable, __file__, "--tree", args.tree, "--faults", args.faults,
               "--work", str(work / f"w{k}"), "--only", ",".join(subset), "--save", str(part),
               "--jobs", str(args.jobs), "--timeout", str(args.timeout)]
        if args.programs:
            cmd += ["--programs", args.programs]
        if args.fail_fast:
            cmd.append("--fail-fast")
        log = open(work / f"worker{k}.log", "w")
        child = subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT)
        children.append((child, part, log))
        # The first copy fills the compiler cache; the others then build from it.
        while k == 0 and child.poll() is None and "unchanged tree" not in Path(log.name).read_text():
            time.sleep(5)
    results = {ident: {"outcome": "error", "reason": reason} for ident, reason in errors.items()}
    programs = []
    for child, part, log in children:
        child.wait()
        log.close()
        if child.returncode != 0 or not part.exists():
            sys.exit(f"a worker failed; see {log.name}")
        data = json.loads(part.read_text())
        results.update(data["results"])
        programs = data["programs"]
    for fault in faults:
        r = results[fault.ident]
        print(f"{fault.ident} {r['outcome']:<16} {fault.what}", flush=True)
    ordered = {f.ident: results[f.ident] for f in faults}
    return report(ordered, programs, started, args.save)


def try_fault(fault, tree, copy, builder, programs, args, env):
    path, _ = check_record(fault, copy)
    original = path.read_text()
    # The previous fault's restored file is built first, so only this fault's programs change.
    builder.compile()
    before = stamps(programs)
    try:
        path.write_text(original.replace(fault.old, fault.new, 1))
        result = builder.compile()
        if result.returncode != 0:
            return {"outcome": "did-not-compile"}
        changed = [p for p in programs if p.stat().st_mtime_ns != before[p]]
        failed, how = {}, {}
        for program in changed:
            tests, outcome = run_program(program, args.timeout, env, args.fail_fast)
            if outcome != "pass":
                failed[program.name] = tests
                how[program.name] = outcome
        return {"outcome": "caught" if failed else "not caught", "failed": failed, "how": how,
                "ran": [p.name for p in changed]}
    finally:
        path.write_text(original)


def compare(before_file, after_file):
    before = json.loads(Path(before_file).read_text())["results"]
    after = json.loads(Path(after_file).read_text())["results"]
    def caught(results):
        return {k for k, r in results.items() if r["outcome"] == "caught"}
    b, a = caught(before), caught(after)
    print(f"before: caught {len(b)} of {len(before)}; after: caught {len(a)} of {len(after)}")
    for ident in sorted(b - a):
        print(f"lost:   {ident}")
    for ident in sorted(a - b):
        print(f"gained: {ident}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
