#!/usr/bin/env python3
"""Mutant generation on a snippet, and the sample's determinism."""

import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutants as mut  # noqa: E402
import report_md  # noqa: E402
import mutate  # noqa: E402

SNIPPET = """#include <vector>  // a < b in a comment
#define LIMIT 4
int Count(const std::vector<int>& v, char16_t c) {
  int n = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == 7) continue;
    n += v[i] * 2;
    if (n > 100) break;
  }
  if (c == u'<') Print(u"x < y 3");
  total_ = n;
  return n;
}
"""


class GenerationTest(unittest.TestCase):
    def setUp(self):
        self.mutants = mut.generate("x/snippet.cc", SNIPPET)
        self.lines = {(m.line, m.kind, m.description) for m in self.mutants}

    def mutated_line(self, line, kind, description):
        for m in self.mutants:
            if (m.line, m.kind, m.description) == (line, kind, description):
                return m.apply(SNIPPET).split("\n")[line - 1]
        self.fail("no %s mutant %s on line %d in %s" % (kind, description, line, sorted(self.lines)))

    def test_each_kind_where_expected(self):
        self.assertEqual(self.mutated_line(5, "comparison", "`<` -> `<=`"),
                         "  for (std::size_t i = 0; i <= v.size(); ++i) {")
        self.assertEqual(self.mutated_line(6, "comparison", "`==` -> `!=`"), "    if (v[i] != 7) continue;")
        self.assertEqual(self.mutated_line(6, "constant", "`7` -> `6`"), "    if (v[i] == 6) continue;")
        self.assertEqual(self.mutated_line(4, "constant", "`0` -> `1`"), "  int n = 1;")
        self.assertEqual(self.mutated_line(7, "arithmetic", "`*` -> `/`"), "    n += v[i] / 2;")
        self.assertEqual(self.mutated_line(7, "arithmetic", "`+=` -> `-=`"), "    n -= v[i] * 2;")
        self.assertEqual(self.mutated_line(5, "arithmetic", "`++` -> `--`"),
                         "  for (std::size_t i = 0; i < v.size(); --i) {")
        self.assertEqual(self.mutated_line(8, "negation", "`if (c)` -> `if (!(c))`"),
                         "    if (!(n > 100)) break;")
        self.assertEqual(self.mutated_line(8, "break-continue", "`break;` removed"), "    if (n > 100) {}")
        self.assertEqual(self.mutated_line(10, "statement", '`Print(u"x < y 3");` removed'),
                         "  if (c == u'<') {}")
        self.assertEqual(self.mutated_line(11, "statement", "`total_ = n;` removed"), "  {}")

    def test_nothing_in_comments_literals_directives_declarations_or_returns(self):
        self.assertFalse([m for m in self.mutants if m.line in (1, 2, 12)])
        # The literals of line 10 hold '<', '3' and ' < ': only the code's == and the statement.
        self.assertEqual(sorted(m.kind for m in self.mutants if m.line == 10),
                         ["comparison", "negation", "statement"])
        # int n = 0; is a declaration: its constant may move, the line stays.
        self.assertNotIn("statement", {m.kind for m in self.mutants if m.line == 4})


class SampleTest(unittest.TestCase):
    def candidates(self):
        return {"big": mut.generate("big/a.cc", SNIPPET * 3), "small": mut.generate("small/b.cc", SNIPPET)}

    def test_same_seed_same_sample_and_spread_by_size(self):
        first = mut.sample(self.candidates(), {"big": 300, "small": 100}, 20, "7")
        second = mut.sample(self.candidates(), {"big": 300, "small": 100}, 20, "7")
        self.assertEqual([m.key for m in first], [m.key for m in second])
        self.assertEqual(sum(m.file.startswith("big/") for m in first), 15)
        self.assertEqual(sum(m.file.startswith("small/") for m in first), 5)
        other = mut.sample(self.candidates(), {"big": 300, "small": 100}, 20, "8")
        self.assertNotEqual([m.key for m in first], [m.key for m in other])

    def test_allocation_sums_to_total(self):
        self.assertEqual(mut.allocate(10, {"a": 1, "b": 1, "c": 1}), {"a": 4, "b": 3, "c": 3})


class CompareTest(unittest.TestCase):
    @staticmethod
    def report(killed, survived, statuses):
        folder = {"lines": 10, "sampled": killed + survived, "killed": killed, "survived": survived,
                  "compile-error": 0, "uncovered": 0, "score": 100.0 * killed / (killed + survived)}
        mutants = [{"key": "k%d" % i, "file": "common/a.cc", "line": i, "change": "c", "status": s,
                    "tests": ["T.A"] if s == "killed" else []} for i, s in enumerate(statuses)]
        return {"commit": "0" * 40, "seed": "1", "sample": 4, "filter": "",
                "folders": {"common": folder}, "overall": dict(folder), "mutants": mutants}

    def test_a_lost_kill_is_a_drop_and_is_named(self):
        before = self.report(3, 1, ["killed", "killed", "killed", "survived"])
        after = self.report(2, 2, ["killed", "survived", "killed", "survived"])
        text, problems = report_md.compare(before, after)
        self.assertIn("`common/a.cc:1` c (was killed by T.A)", text)
        self.assertEqual(problems, ["common: score dropped from 75.0% to 50.0%",
                                    "overall: score dropped from 75.0% to 50.0%"])
        self.assertEqual(report_md.compare(before, before)[1], [])

    def test_cover_keeps_sole_killers_then_the_widest(self):
        report = self.report(4, 0, ["killed"] * 4)
        for m, tests in zip(report["mutants"], (["A"], ["B", "C"], ["C", "D"], ["B", "D"])):
            m["tests"] = tests
        report["tests"] = {t: {"kills": 1, "sole_kills": 0} for t in "ABCDE"}
        report["tests"]["E"]["kills"] = 0
        # A alone kills k0; then B, C and D each cover two of the three left: B, then C or D.
        self.assertEqual(report_md.cover(report), (["A", "B", "C"], ["D"]))

    def test_another_sample_is_refused(self):
        before = self.report(1, 0, ["killed"])
        after = dict(before, seed="2")
        self.assertIn("seed differs ('1', '2')", report_md.compare(before, after)[1])


class SelectionTest(unittest.TestCase):
    def test_object_file_names_give_the_source(self):
        for gcda, source in (
                ("CMakeFiles/ztrm_core.dir/chassis/chassis_id_table.cc.gcda", "chassis/chassis_id_table.cc"),
                ("platform/native/CMakeFiles/ztrm_native.dir/reg_file.cc.gcda", "platform/native/reg_file.cc"),
                ("tests/CMakeFiles/ztrm_tests.dir/__/output/slot_paths_test.cc.gcda", "output/slot_paths_test.cc"),
                ("tests/CMakeFiles/ztrm_tests.dir/__/__/outside.cc.gcda", None),
                ("tests/ztrm_tests", None)):
            self.assertEqual(mutate.object_source(gcda), source, gcda)

    def test_a_file_ran_when_a_counter_is_not_zero(self):
        import tempfile

        def record(tag, values):
            body = b"".join(v.to_bytes(8, "little") for v in values)
            if values and not any(values):  # all zero: a negative length and no values
                return tag.to_bytes(4, "little") + (-len(body)).to_bytes(4, "little", signed=True)
            return tag.to_bytes(4, "little") + len(body).to_bytes(4, "little") + body
        header = b"adcg" + bytes(12)
        function = record(0x01000000, [7])  # a function record: its word is no counter
        for records, ran in (([function, record(0x01a10000, [0, 0])], False),
                             ([function, record(0x01a10000, [0, 0]), function, record(0x01a10000, [0, 3])], True),
                             ([record(0x01000000, [5])], False)):
            with tempfile.NamedTemporaryFile(suffix=".gcda") as f:
                f.write(header + b"".join(records))
                f.flush()
                self.assertEqual(mutate.gcda_ran(f.name), ran)


if __name__ == "__main__":
    unittest.main()
