#!/usr/bin/env python3
"""Mutation testing of the platform-neutral code against the native tests.

For each sampled mutant: edit the source file, rebuild ztrm_tests in a build
folder of its own (make rebuilds the object and relinks what uses it), run
the test binary with a time bound and record which tests failed; the file is
restored afterwards whatever happens (checked by its hash).

Mutants on lines no test executes (from a --coverage build's gcov data) and
mutants that do not compile are counted apart from the score, which is
killed / (compiled and covered).

Run from anywhere: tools/mutation/mutate.py --sample 300 --seed 1
"""

import argparse
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutants as mut  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
GUARD_NAME = "mutation-in-progress.json"
TEST_TMP_BASE = "/dev/shm" if os.path.isdir("/dev/shm") else None


def log(msg):
    print(msg, flush=True)


def sha256(data):
    return hashlib.sha256(data).hexdigest()


# --------------------------------------------------------------------------
# The source file under mutation: restored always, checked by hash. A guard
# file in the build folder holds the original bytes, so that a run killed
# outright (SIGKILL, power) is repaired by the next run before anything else.

class MutatedFile:
    def __init__(self, build_dir, rel_path):
        self.path = os.path.join(ROOT, rel_path)
        self.rel = rel_path
        self.guard = os.path.join(build_dir, GUARD_NAME)
        with open(self.path, "rb") as f:
            self.original = f.read()
        self.digest = sha256(self.original)

    def __enter__(self):
        with open(self.guard, "w") as f:
            json.dump({"file": self.rel, "sha256": self.digest,
                       "content": self.original.decode("utf-8", "surrogateescape")}, f)
        return self

    def write(self, text):
        with open(self.path, "wb") as f:
            f.write(text.encode("utf-8", "surrogateescape"))

    def __exit__(self, *exc):
        restore_bytes(self.path, self.original, self.digest)
        os.remove(self.guard)
        return False


def restore_bytes(path, original, digest):
    for _ in range(3):
        with open(path, "wb") as f:
            f.write(original)
        with open(path, "rb") as f:
            if sha256(f.read()) == digest:
                return
    raise RuntimeError("could not restore %s (hash differs)" % path)


def repair_from_guard(build_dir):
    guard = os.path.join(build_dir, GUARD_NAME)
    if not os.path.exists(guard):
        return
    with open(guard) as f:
        saved = json.load(f)
    original = saved["content"].encode("utf-8", "surrogateescape")
    if sha256(original) != saved["sha256"]:
        raise RuntimeError("guard file %s is damaged; restore %s with git" % (guard, saved["file"]))
    restore_bytes(os.path.join(ROOT, saved["file"]), original, saved["sha256"])
    os.remove(guard)
    log("restored %s, left mutated by an interrupted run" % saved["file"])


def raise_interrupt(signum, frame):
    raise KeyboardInterrupt("signal %d" % signum)


# --------------------------------------------------------------------------
# Building and running.

def run_bounded(cmd, timeout, cwd=None):
    """Run cmd in its own process group; (returncode or None on timeout, output, seconds)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        code = proc.returncode
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        code = None
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        raise
    return code, out.decode("utf-8", "replace"), time.monotonic() - start


def configure(build_dir, extra=()):
    if os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        return
    # Optimised and without asserts like the native preset, in a folder of
    # its own; -O1 without debug information halves a mutant's rebuild.
    cmd = ["cmake", "-S", ROOT, "-B", build_dir, "-G", "Unix Makefiles",
           "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG",
           "-DCMAKE_CXX_COMPILER=g++"] + list(extra)
    code, out, _ = run_bounded(cmd, 600)
    if code != 0:
        sys.exit("cmake configure of %s failed:\n%s" % (build_dir, out[-4000:]))


def build(build_dir, jobs, timeout):
    return run_bounded(["cmake", "--build", build_dir, "--target", "ztrm_tests", "-j", str(jobs)], timeout)


RUN_RE = re.compile(r"^\[ RUN      \] (\S+)", re.M)
END_RE = re.compile(r"^\[ {7}OK \] (\S+)|^\[  FAILED  \] (\S+?),? ", re.M)
FAILED_RE = re.compile(r"^\[  FAILED  \] ([^\s,]+)", re.M)


def parse_gtest(output):
    """Failed test names, and the test that had started but not ended (crash, timeout)."""
    failed = {name for name in FAILED_RE.findall(output) if "." in name}
    started = RUN_RE.findall(output)
    ended = {a or b for a, b in END_RE.findall(output)}
    unfinished = [name for name in started if name not in ended]
    return failed, (unfinished[-1] if unfinished else None)


def run_tests(build_dir, timeout, gtest_filter, shards=1):
    """Run the test binary as `shards` gtest shards side by side, all bounded by one deadline.

    Returns (exit code: 0, the first non-zero one, or None on timeout; failed
    test names; the shards' output; seconds). A shard that crashed or ran out
    of time counts the test it had started as failed."""
    binary = os.path.join(build_dir, "tests", "ztrm_tests")
    cmd = [binary, "--gtest_color=no"]
    if gtest_filter:
        cmd.append("--gtest_filter=" + gtest_filter)
    start = time.monotonic()
    procs = []
    # The tests build system images in their temporary folder: in memory they
    # spend a quarter of the system time they spend on disk. A folder per run,
    # removed after it, so that a killed run leaves nothing behind.
    scratch = tempfile.mkdtemp(prefix="ztrm-mutation-", dir=TEST_TMP_BASE)
    os.chmod(scratch, 0o1777)  # like /tmp: a test runs a program as another user
    try:
        for index in range(shards):
            env = dict(os.environ, TEST_TMPDIR=scratch + os.sep)
            if shards > 1:
                env.update(GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(index))
            procs.append(subprocess.Popen(cmd, cwd=os.path.join(build_dir, "tests"), env=env,
                                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                          start_new_session=True))
        code, outputs, failed = 0, [], set()
        for proc in procs:
            try:
                out, _ = proc.communicate(timeout=max(1.0, timeout - (time.monotonic() - start)))
                shard_code = proc.returncode
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                out, _ = proc.communicate()
                shard_code = None
            text = out.decode("utf-8", "replace")
            outputs.append(text)
            shard_failed, unfinished = parse_gtest(text)
            if shard_code != 0 and unfinished:
                shard_failed.add(unfinished)
            failed |= shard_failed
            if shard_code is None:
                code = None
            elif shard_code != 0 and code == 0:
                code = shard_code
    except BaseException:
        for proc in procs:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        raise
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return code, failed, "\n".join(outputs), time.monotonic() - start


def list_tests(build_dir, gtest_filter):
    """The full names of the tests, from gtest's JSON listing (the text listing
    prints each parameter as it is, line breaks included)."""
    binary = os.path.join(build_dir, "tests", "ztrm_tests")
    listing = os.path.join(build_dir, "tests", "mutation-test-list.json")
    cmd = [binary, "--gtest_list_tests", "--gtest_output=json:" + listing]
    if gtest_filter:
        cmd.append("--gtest_filter=" + gtest_filter)
    subprocess.run(cmd, check=True, capture_output=True)
    with open(listing) as f:
        suites = json.load(f)["testsuites"]
    return [suite["name"] + "." + test["name"] for suite in suites for test in suite["testsuite"]]


# --------------------------------------------------------------------------
# Line coverage: a Debug --coverage build of the same tree runs the tests
# once; gcov's JSON says which lines of each product file ran (the child
# programs the tests start, ztrm-sim and the others, write their counts too).
# A mutant counts as covered when its line ran; a line gcov knows nothing of
# (a constant in a declaration, say) counts as covered when some line of the
# file ran, since such lines hold no code of their own but may feed code
# that did.

def tree_key(paths):
    h = hashlib.sha256()
    for rel in sorted(paths):
        h.update(rel.encode())
        with open(os.path.join(ROOT, rel), "rb") as f:
            h.update(sha256(f.read()).encode())
    return h.hexdigest()


def source_tree_key():
    """The key of the cached coverage answers: what the native build is made of."""
    tracked = subprocess.run(["git", "-C", ROOT, "ls-files", "*.cc", "*.h", "*.in", "*CMakeLists.txt"],
                             check=True, capture_output=True, text=True).stdout.split()
    return tree_key([p for p in tracked if os.path.exists(os.path.join(ROOT, p))])


def line_coverage(cov_dir, tree, jobs, gtest_filter):
    key = tree + "|" + (gtest_filter or "")
    cache = os.path.join(cov_dir, "line-coverage.json")
    if os.path.exists(cache):
        with open(cache) as f:
            saved = json.load(f)
        if saved.get("key") == key:
            log("coverage: reused %s" % cache)
            return {k: set(v) for k, v in saved["executed"].items()}, set(saved["instrumented_files"]), saved["lines"]
    log("coverage: building %s (Debug, --coverage) and running the tests once" % cov_dir)
    configure(cov_dir, ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS=--coverage",
                        "-DCMAKE_EXE_LINKER_FLAGS=--coverage", "-DCMAKE_SHARED_LINKER_FLAGS=--coverage"])
    code, out, seconds = build(cov_dir, jobs, 7200)
    if code != 0:
        sys.exit("coverage build failed:\n" + out[-4000:])
    for dirpath, _, files in os.walk(cov_dir):
        for name in files:
            if name.endswith(".gcda"):
                os.remove(os.path.join(dirpath, name))
    code, failed, out, seconds = run_tests(cov_dir, 7200, gtest_filter)
    log("coverage: tests ran in %.0f s%s" % (seconds, "" if code == 0 else ", failing: %s" % sorted(failed)))
    executed, instrumented, lines = {}, set(), {}
    for dirpath, _, files in os.walk(cov_dir):
        gcdas = [os.path.join(dirpath, n) for n in files if n.endswith(".gcda")]
        if not gcdas:
            continue
        proc = subprocess.run(["gcov", "--json-format", "--stdout", "-o", dirpath] + gcdas,
                              cwd=dirpath, capture_output=True)
        for chunk in proc.stdout.decode("utf-8", "replace").splitlines():
            chunk = chunk.strip()
            if not chunk.startswith("{"):
                continue
            data = json.loads(chunk)
            for entry in data.get("files", []):
                path = os.path.realpath(os.path.join(data.get("current_working_directory", dirpath), entry["file"]))
                if not path.startswith(ROOT + os.sep):
                    continue
                rel = os.path.relpath(path, ROOT)
                instrumented.add(rel)
                ran = executed.setdefault(rel, set())
                known = lines.setdefault(rel, set())
                for line in entry.get("lines", []):
                    known.add(line["line_number"])
                    if line["count"] > 0:
                        ran.add(line["line_number"])
    lines = {k: sorted(v) for k, v in lines.items()}
    with open(cache, "w") as f:
        json.dump({"key": key, "executed": {k: sorted(v) for k, v in executed.items()},
                   "instrumented_files": sorted(instrumented), "lines": lines}, f)
    return executed, instrumented, lines


# --------------------------------------------------------------------------
# Which tests run code of which source file: each test runs alone in the
# coverage build with its counts sent to a folder of its own (GCOV_PREFIX; the
# programs it starts inherit it), and an object counts as run when one of its
# arc counters is not zero. A mutant in F.cc then needs only the tests that
# ran F.cc's object: the others cannot see it (static initialisers run in
# every process, so their files are run by every test). Headers are compiled
# into many objects: a mutant in a header runs every test.

GCOV_COUNTERS_TAG = 0x01a10000


def gcda_ran(path):
    """Whether any arc counter in this .gcda is not zero."""
    with open(path, "rb") as f:
        data = f.read()
    pos = 16  # magic, version, stamp, checksum
    while pos + 8 <= len(data):
        tag = int.from_bytes(data[pos:pos + 4], "little")
        length = int.from_bytes(data[pos + 4:pos + 8], "little", signed=True)
        pos += 8
        if length < 0:  # counters all zero: written without their values
            continue
        if tag == GCOV_COUNTERS_TAG and any(data[pos:pos + length]):
            return True
        pos += length
    return False


def object_source(relative_gcda):
    """The source file (relative to the tree) of an object's .gcda, given as a
    path relative to the build folder: SUBDIR/CMakeFiles/TARGET.dir/REL.gcda is
    SUBDIR/REL, where CMake spells a parent folder in REL as "__"."""
    parts = relative_gcda.replace(os.sep, "/").split("/")
    if "CMakeFiles" not in parts or not relative_gcda.endswith(".gcda"):
        return None
    at = parts.index("CMakeFiles")
    rel = [".." if p == "__" else p for p in parts[at + 2:]]
    path = os.path.normpath("/".join(parts[:at] + rel))[:-len(".gcda")]
    return None if path.startswith("..") else path


def files_per_test(cov_dir, key, tests, parallel):
    """KEY: source_tree_key() of the tree the coverage build was made from."""
    cache = os.path.join(cov_dir, "files-per-test.json")
    if os.path.exists(cache):
        with open(cache) as f:
            saved = json.load(f)
        if saved.get("key") == key and set(saved["files"]) >= set(tests):
            log("test selection: reused %s" % cache)
            return {t: set(v) for t, v in saved["files"].items()}
    log("test selection: running each of %d tests alone in %s" % (len(tests), cov_dir))
    scratch = os.path.join(cov_dir, "per-test-counts")
    binary = os.path.join(cov_dir, "tests", "ztrm_tests")
    result, pending, running = {}, list(enumerate(tests)), []
    started = time.monotonic()

    def collect(index, name):
        folder = os.path.join(scratch, str(index))
        counts_root = folder + os.path.abspath(cov_dir)  # GCOV_PREFIX keeps the whole path
        ran = set()
        for dirpath, _, names in os.walk(counts_root):
            for n in names:
                path = os.path.join(dirpath, n)
                source = object_source(os.path.relpath(path, counts_root))
                if source and gcda_ran(path):
                    ran.add(source)
        subprocess.run(["rm", "-rf", folder], check=False)
        result[name] = ran

    while pending or running:
        while pending and len(running) < parallel:
            index, name = pending.pop(0)
            env = dict(os.environ, GCOV_PREFIX=os.path.join(scratch, str(index)), GCOV_PREFIX_STRIP="0")
            proc = subprocess.Popen([binary, "--gtest_filter=" + name], cwd=os.path.dirname(binary), env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            running.append((proc, index, name))
        proc, index, name = running.pop(0)
        try:
            proc.wait(timeout=600)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        collect(index, name)
    log("test selection: done in %.0f s" % (time.monotonic() - started))
    with open(cache, "w") as f:
        json.dump({"key": key, "files": {t: sorted(v) for t, v in result.items()}}, f)
    return result


def tests_for(mutant, files_by_test, tests):
    """The tests a mutant needs: those that ran its file, or all for a header."""
    if mutant.file.endswith(".h") or files_by_test is None:
        return None
    chosen = [t for t in tests if mutant.file in files_by_test.get(t, ())]
    return chosen if chosen else None


def covered(mutant, executed, lines):
    ran = executed.get(mutant.file)
    if not ran:
        return False
    if mutant.line in ran:
        return True
    return mutant.line not in set(lines.get(mutant.file, ()))


# --------------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", default="1", help="sample seed (default 1)")
    ap.add_argument("--sample", type=int, default=300, help="mutants to sample (default 300)")
    ap.add_argument("--folders", default=",".join(mut.FOLDERS),
                    help="comma-separated folders to mutate (default all platform-neutral ones)")
    ap.add_argument("--timeout", type=float, default=0,
                    help="seconds a mutant's test run may take (default 3x the clean run + 30)")
    ap.add_argument("--build-dir", default=os.path.join(ROOT, "build", "mutation"),
                    help="build folder for mutants (default build/mutation)")
    ap.add_argument("--coverage-dir", default=None,
                    help="coverage build folder (default BUILD_DIR-cov)")
    ap.add_argument("--no-coverage", action="store_true", help="treat every line as covered")
    ap.add_argument("--report", default=None, help="JSON report (default BUILD_DIR/mutation-report.json)")
    ap.add_argument("--jobs", type=int, default=2, help="make jobs (default 2)")
    ap.add_argument("--shards", type=int, default=4,
                    help="gtest shards run side by side for each mutant (default 4; the tests wait on I/O)")
    ap.add_argument("--gtest-filter", default="", help="run only these tests (smoke runs; not for a measurement)")
    ap.add_argument("--no-select-tests", dest="select_tests", action="store_false",
                    help="run every test for every mutant (default: only the tests that ran the mutant's file)")
    ap.add_argument("--list", action="store_true", help="print the sample and stop")
    ap.add_argument("--resume", action="store_true",
                    help="keep the results of an interrupted run with the same seed, sample and folders")
    args = ap.parse_args()

    build_dir = os.path.abspath(args.build_dir)
    cov_dir = os.path.abspath(args.coverage_dir or build_dir + "-cov")
    report_path = os.path.abspath(args.report or os.path.join(build_dir, "mutation-report.json"))
    folders = [f.strip().strip("/") for f in args.folders.split(",") if f.strip()]
    unknown = [f for f in folders if f not in mut.FOLDERS]
    if unknown:
        sys.exit("not a mutated folder: %s (choose from %s)" % (", ".join(unknown), ", ".join(mut.FOLDERS)))
    os.makedirs(build_dir, exist_ok=True)
    signal.signal(signal.SIGINT, signal.default_int_handler)  # also when started in the background
    signal.signal(signal.SIGTERM, raise_interrupt)
    signal.signal(signal.SIGHUP, raise_interrupt)
    repair_from_guard(build_dir)

    # The sample: candidates per folder, spread by code size, fixed by the seed.
    files = mut.product_files(ROOT, folders)
    candidates, sizes, texts = {}, {}, {}
    for folder, rels in files.items():
        candidates[folder], sizes[folder] = [], 0
        for rel in rels:
            with open(os.path.join(ROOT, rel), encoding="utf-8", errors="surrogateescape") as f:
                texts[rel] = f.read()
            sizes[folder] += mut.code_lines(texts[rel])
            candidates[folder].extend(mut.generate(rel, texts[rel]))
    chosen = mut.sample(candidates, sizes, args.sample, args.seed)
    commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "HEAD"], capture_output=True, text=True).stdout.strip()
    dirty = subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--"] + folders,
                           capture_output=True, text=True).stdout.strip()
    log("commit %s%s, seed %s: %d mutants sampled from %d candidates in %s" % (
        commit[:12], " (folders have uncommitted changes)" if dirty else "", args.seed, len(chosen),
        sum(len(v) for v in candidates.values()), ", ".join(folders)))
    if args.list:
        for m in chosen:
            log("%s:%d %s %s" % (m.file, m.line, m.kind, m.description))
        return 0

    started = time.time()
    # Coverage first (its own build folder), then the clean mutation build.
    if args.no_coverage:
        executed, lines = None, None
    else:
        tree = source_tree_key()
        executed, _, lines = line_coverage(cov_dir, tree, args.jobs, args.gtest_filter)
    files_by_test = None
    if args.select_tests and not args.no_coverage:
        files_by_test = files_per_test(cov_dir, tree, list_tests(cov_dir, args.gtest_filter), 2 * args.jobs)

    configure(build_dir)
    log("clean build of %s" % build_dir)
    code, out, seconds = build(build_dir, args.jobs, 7200)
    if code != 0:
        sys.exit("the unmutated tree does not build:\n" + out[-4000:])
    tests = list_tests(build_dir, args.gtest_filter)
    code, failed, out, clean_seconds = run_tests(build_dir, 7200, args.gtest_filter, args.shards)
    if code != 0:
        log("warning: the clean run fails %s; those tests are left out of the kill counts" % sorted(failed))
    broken = set(failed)
    timeout = args.timeout or 3 * clean_seconds + 30
    log("clean run: %d tests in %.1f s; mutant runs bounded at %.0f s" % (len(tests), clean_seconds, timeout))

    journal_path = os.path.join(build_dir, "mutation-journal.jsonl")
    header = {"commit": commit, "seed": args.seed, "sample": args.sample, "folders": folders,
              "filter": args.gtest_filter}
    results = {}
    if args.resume and os.path.exists(journal_path):
        with open(journal_path) as f:
            rows = [json.loads(line) for line in f if line.strip()]
        if rows and rows[0] == header:
            results = {r["key"]: r for r in rows[1:]}
            log("resuming: %d mutants already done" % len(results))
    with open(journal_path, "w") as f:
        f.write(json.dumps(header) + "\n")
        for r in results.values():
            f.write(json.dumps(r) + "\n")

    interrupted = False
    try:
        with open(journal_path, "a") as journal:
            for number, m in enumerate(chosen, 1):
                if m.key in results:
                    continue
                row = m.to_json()
                if executed is not None and not covered(m, executed, lines):
                    row["status"] = "uncovered"
                else:
                    with MutatedFile(build_dir, m.file) as target:
                        target.write(m.apply(texts[m.file]))
                        bcode, bout, bsec = build(build_dir, args.jobs, 3600)
                        row["build_seconds"] = round(bsec, 1)
                        if bcode != 0:
                            row["status"] = "compile-error"
                        else:
                            selected = tests_for(m, files_by_test, tests)
                            row["tests_run"] = len(selected) if selected else len(tests)
                            tfilter = ":".join(selected) if selected else args.gtest_filter
                            tcode, tfailed, tout, tsec = run_tests(build_dir, timeout, tfilter, args.shards)
                            row["test_seconds"] = round(tsec, 1)
                            killers = sorted(tfailed - broken)
                            if tcode is None:
                                row["status"], row["how"] = "killed", "timeout"
                            elif killers:
                                row["status"], row["how"] = "killed", "failed"
                            elif tcode != 0 and not tfailed:
                                row["status"], row["how"] = "killed", "crash (exit %d)" % tcode
                            else:
                                row["status"] = "survived"
                            row["tests"] = killers
                log("[%d/%d] %-13s %s:%d %s" % (number, len(chosen), row["status"], m.file, m.line, m.description))
                results[m.key] = row
                journal.write(json.dumps(row) + "\n")
                journal.flush()
    except KeyboardInterrupt:
        interrupted = True
        log("interrupted; the report covers the mutants done so far (rerun with --resume to go on)")
    if not interrupted:
        # Leave the build folder as the restored sources build it, not with
        # the last mutant's objects.
        build(build_dir, args.jobs, 3600)

    report = make_report(header, chosen, results, tests, broken, sizes, clean_seconds, timeout,
                         time.time() - started, interrupted)
    with open(report_path, "w") as f:
        json.dump(report, f, indent=1)
    print_summary(report)
    log("report: %s" % report_path)
    return 130 if interrupted else 0


def make_report(header, chosen, results, tests, broken, sizes, clean_seconds, timeout, seconds, interrupted):
    rows = [results[m.key] for m in chosen if m.key in results]
    per_folder = {}
    for folder in header["folders"]:
        per_folder[folder] = {"lines": sizes.get(folder, 0), "sampled": 0, "killed": 0, "survived": 0,
                              "compile-error": 0, "uncovered": 0}
    for r in rows:
        folder = next(f for f in sorted(header["folders"], key=len, reverse=True) if r["file"].startswith(f + "/"))
        per_folder[folder]["sampled"] += 1
        per_folder[folder][r["status"]] += 1

    def score(d):
        n = d["killed"] + d["survived"]
        return round(100.0 * d["killed"] / n, 1) if n else None

    overall = {k: sum(d[k] for d in per_folder.values())
               for k in ("lines", "sampled", "killed", "survived", "compile-error", "uncovered")}
    for d in list(per_folder.values()) + [overall]:
        d["score"] = score(d)
    kills = {t: 0 for t in tests}
    sole = {t: 0 for t in tests}
    for r in rows:
        if r["status"] == "killed":
            for t in r.get("tests", []):
                kills[t] = kills.get(t, 0) + 1
            if len(r.get("tests", [])) == 1:
                sole[r["tests"][0]] = sole.get(r["tests"][0], 0) + 1
    return dict(header, done=len(rows), interrupted=interrupted, seconds=round(seconds),
                clean_test_seconds=round(clean_seconds, 1), timeout=round(timeout),
                broken_tests=sorted(broken), overall=overall, folders=per_folder,
                survivors=[{k: r[k] for k in ("file", "line", "kind", "change")} for r in rows
                           if r["status"] == "survived"],
                compile_errors=[{k: r[k] for k in ("file", "line", "change")} for r in rows
                                if r["status"] == "compile-error"],
                tests={t: {"kills": kills[t], "sole_kills": sole[t]} for t in sorted(kills)},
                mutants=rows)


def print_summary(report):
    log("")
    log("Mutation score (killed / compiled and covered), commit %s, seed %s, %d of %d mutants done in %d s:" % (
        report["commit"][:12], report["seed"], report["done"], report["sample"], report["seconds"]))
    log("  %-16s %6s %7s %6s %8s %10s %9s %6s" % ("folder", "lines", "sampled", "killed", "survived",
                                                  "no-compile", "uncovered", "score"))
    for name, d in list(report["folders"].items()) + [("overall", report["overall"])]:
        log("  %-16s %6d %7d %6d %8d %10d %9d %6s" % (
            name, d["lines"], d["sampled"], d["killed"], d["survived"], d["compile-error"], d["uncovered"],
            "-" if d["score"] is None else "%.1f%%" % d["score"]))
    if report["survivors"]:
        log("Survivors:")
        for s in report["survivors"]:
            log("  %s:%d %s %s" % (s["file"], s["line"], s["kind"], s["change"]))
    sole = sorted(((v["sole_kills"], t) for t, v in report["tests"].items() if v["sole_kills"]), reverse=True)
    log("Tests that alone kill some mutant (%d of %d tests; the rest kill none alone):" % (
        len(sole), len(report["tests"])))
    for n, t in sole:
        log("  %3d  %s" % (n, t))


if __name__ == "__main__":
    sys.exit(main())
