#!/usr/bin/env python3
"""Markdown of a mutation report, or the comparison of two runs of one sample.

  report_md.py REPORT.json                 the run: table per folder, survivors,
                                           tests that alone kill some mutant
  report_md.py --cover REPORT.json         the tests a smallest-first cover needs
                                           to keep every kill, then the tests it
                                           does not need (each with its kills)
  report_md.py BEFORE.json AFTER.json      both runs side by side per folder;
                                           exit 1 when a folder's score dropped
                                           or the two runs are not the same sample

A report may be gzipped (REPORT.json.gz). The two reports must come from
the same seed, sample size and folders (the mutants are then the same ones as
long as the product code is the same; the keys of the mutants are compared
too).
"""

import gzip
import json
import sys


def load(path):
    with (gzip.open(path, "rt") if path.endswith(".gz") else open(path)) as f:
        return json.load(f)


def score_text(d):
    return "-" if d["score"] is None else "%.1f%%" % d["score"]


def folder_rows(report):
    return list(report["folders"].items()) + [("overall", report["overall"])]


def single(report):
    out = ["Commit `%s`, seed %s: %d of %d mutants in %d min (tests bounded at %d s)." % (
        report["commit"][:12], report["seed"], report["done"], report["sample"],
        round(report["seconds"] / 60), report["timeout"]), "",
        "| folder | lines | sampled | killed | survived | no compile | not covered | score |",
        "|---|---:|---:|---:|---:|---:|---:|---:|"]
    for name, d in folder_rows(report):
        out.append("| %s | %d | %d | %d | %d | %d | %d | %s |" % (
            name, d["lines"], d["sampled"], d["killed"], d["survived"], d["compile-error"],
            d["uncovered"], score_text(d)))
    out += ["", "Survivors (%d):" % len(report["survivors"]), ""]
    out += ["- `%s:%d` %s: %s" % (s["file"], s["line"], s["kind"], s["change"]) for s in report["survivors"]]
    sole = sorted(((v["sole_kills"], t) for t, v in report["tests"].items() if v["sole_kills"]),
                  key=lambda p: (-p[0], p[1]))
    idle = sum(1 for v in report["tests"].values() if not v["kills"])
    out += ["", "%d of %d tests alone kill some mutant; %d tests kill none of the sample." % (
        len(sole), len(report["tests"]), idle)]
    return "\n".join(out)


def same_sample(before, after):
    keys = ("seed", "sample", "filter")
    problems = ["%s differs (%r, %r)" % (k, before.get(k), after.get(k)) for k in keys
                if before.get(k) != after.get(k)]
    if list(before["folders"]) != list(after["folders"]):
        problems.append("the folders differ (%s; %s)" % (", ".join(before["folders"]), ", ".join(after["folders"])))
    mutants_before = [m["key"] for m in before["mutants"]]
    mutants_after = [m["key"] for m in after["mutants"]]
    if not problems and mutants_before != mutants_after:
        problems.append("the mutants differ (%d and %d done; was the product code changed?)" % (
            len(mutants_before), len(mutants_after)))
    return problems


def compare(before, after):
    problems = same_sample(before, after)
    out = ["Commits `%s` (before) and `%s` (after), seed %s, %d mutants." % (
        before["commit"][:12], after["commit"][:12], before["seed"], before["sample"]), "",
        "| folder | killed before | killed after | score before | score after |",
        "|---|---:|---:|---:|---:|"]
    for name, b in folder_rows(before):
        a = after["overall"] if name == "overall" else after["folders"].get(name)
        if a is None:
            problems.append("folder %s missing after" % name)
            continue
        out.append("| %s | %d of %d | %d of %d | %s | %s |" % (
            name, b["killed"], b["killed"] + b["survived"], a["killed"], a["killed"] + a["survived"],
            score_text(b), score_text(a)))
        if b["score"] is not None and (a["score"] is None or a["score"] < b["score"]):
            problems.append("%s: score dropped from %s to %s" % (name, score_text(b), score_text(a)))
    by_key = {m["key"]: m for m in after["mutants"]}
    lost = [m for m in before["mutants"] if m["status"] == "killed"
            and by_key.get(m["key"], {}).get("status") not in (None, "killed")]
    out += ["", "Killed before, not after: %d" % len(lost)]
    out += ["- `%s:%d` %s (was killed by %s)" % (m["file"], m["line"], m["change"], ", ".join(m.get("tests", [])))
            for m in lost]
    return "\n".join(out), problems


def cover(report):
    """Greedy set cover of the killed mutants by the tests that kill them.

    Sole killers come first (they are needed whatever else is kept); then the
    test that kills the most mutants not yet covered, ties by name. Returns
    (needed tests in the order chosen, the other tests that kill something)."""
    killers = {m["key"]: set(m.get("tests", [])) for m in report["mutants"]
               if m["status"] == "killed" and m.get("tests")}
    needed = sorted({next(iter(t)) for t in killers.values() if len(t) == 1})
    left = {k: t for k, t in killers.items() if not t & set(needed)}
    while left:
        counts = {}
        for tests in left.values():
            for t in tests:
                counts[t] = counts.get(t, 0) + 1
        best = min(counts, key=lambda t: (-counts[t], t))
        needed.append(best)
        left = {k: t for k, t in left.items() if best not in t}
    spare = sorted(t for t, v in report["tests"].items() if v["kills"] and t not in needed)
    return needed, spare


def cover_text(report):
    needed, spare = cover(report)
    tests = report["tests"]
    out = ["Needed to keep every kill (%d):" % len(needed)]
    out += ["  %-90s kills %3d, alone %3d" % (t, tests[t]["kills"], tests[t]["sole_kills"]) for t in needed]
    out += ["Killing only what the needed ones kill too (%d):" % len(spare)]
    out += ["  %-90s kills %3d" % (t, tests[t]["kills"]) for t in spare]
    idle = sorted(t for t, v in tests.items() if not v["kills"])
    out += ["Killing none of the sample (%d):" % len(idle)] + ["  " + t for t in idle]
    return "\n".join(out)


def main(argv):
    if len(argv) == 3 and argv[1] == "--cover":
        print(cover_text(load(argv[2])))
        return 0
    if len(argv) not in (2, 3) or argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0 if len(argv) == 2 else 2
    if len(argv) == 2:
        print(single(load(argv[1])))
        return 0
    text, problems = compare(load(argv[1]), load(argv[2]))
    print(text)
    for p in problems:
        print("PROBLEM: " + p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
