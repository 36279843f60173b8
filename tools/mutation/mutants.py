"""Mutant generation and sampling: the pure part of the mutation tool.

A mutant is one small fault in one product source file, described by the
edits that make it (offset ranges of the original text and their
replacements). Nothing here touches the disk except reading sources.

Candidates are found on a masked copy of the text: comments and the insides
of string and character literals are blanked (same length, newlines kept), so
an operator or a digit inside a literal or a comment never becomes a mutant.
Preprocessor lines are left alone.
"""

import os
import random
import re

# The platform-neutral folders the tool mutates, in report order.
FOLDERS = ("common", "enumeration", "inventory", "chassis", "output", "service",
           "platform/native")

SOURCE_SUFFIXES = (".cc", ".h")
TEST_SUFFIXES = ("_test.cc", "_fuzz.cc")
# A generated table (the folding table) says so in its first lines; its
# entries are data checked against their source, not code to mutate.
GENERATED_MARK = re.compile(r"Generated .*Do not edit", re.S)


def mask_source(text):
    """Blank comments and literal contents, keeping offsets and newlines."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() and text[i - 1] not in "uU8L")):
            m = re.match(r'R"([^()\\ ]{0,16})\(', text[i:])
            if not m:
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i + m.end())
            end = n if end < 0 else end + len(m.group(1)) + 2
            blank(i + 2, end - 1)
            i = end
        elif c in "\"'":
            # A digit separator (1'000) is not a literal's start.
            if c == "'" and i > 0 and text[i - 1].isalnum() and not re.match(r"(?:u8|[uUL])$", text[max(0, i - 2):i]):
                if text[i - 1].isdigit():
                    i += 1
                    continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, min(j, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


def _line_starts(text):
    starts = [0]
    for m in re.finditer("\n", text):
        starts.append(m.end())
    return starts


def _matching_paren(masked, open_at):
    depth = 0
    for k in range(open_at, len(masked)):
        ch = masked[k]
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


COMPARISON = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&": "|", "|": "&",
              "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}
# A statement that stores or prints: an assignment, an increment, or a call
# whose name says it adds, writes, logs or records something.
STORE_CALL = re.compile(
    r"(?:\.|->|^|\s)(?:push_back|emplace_back|emplace|insert|append|assign|erase|clear|resize|"
    r"push|pop_back|swap|reset|Write\w*|write\w*|Print\w*|print\w*|Log\w*|Emit\w*|Record\w*|"
    r"Append\w*|Add\w*|Set\w*|Put\w*|Store\w*|Note\w*|Report\w*|Trace\w*)\s*\(")
ASSIGNMENT = re.compile(r"^[\w.\->\[\]*:()]+\s*(?:[-+*/%&|^]|<<|>>)?=(?!=)")
INCREMENT = re.compile(r"^(?:\+\+|--)[\w.\->\[\]*]+\s*;$|^[\w.\->\[\]*]+(?:\+\+|--)\s*;$")
DATA_ROW = re.compile(r"^\s*(?:\{[\s\w,'-]*\},?\s*)+$")
STREAM_OUT = re.compile(r"^[\w.\->\[\]*:()]+\s*<<")


class Mutant:
    """One fault: file (relative path), line (1-based), kind, edits, description."""

    __slots__ = ("file", "line", "kind", "edits", "description")

    def __init__(self, file, line, kind, edits, description):
        self.file, self.line, self.kind = file, line, kind
        self.edits = tuple(edits)  # ((start, end, replacement), ...) ascending
        self.description = description

    @property
    def key(self):
        return "%s:%d:%d:%s:%s" % (self.file, self.line, self.edits[0][0], self.kind,
                                   "|".join(e[2] for e in self.edits))

    def apply(self, text):
        out, last = [], 0
        for start, end, repl in self.edits:
            out.append(text[last:start])
            out.append(repl)
            last = end
        out.append(text[last:])
        return "".join(out)

    def to_json(self):
        return {"file": self.file, "line": self.line, "kind": self.kind,
                "change": self.description, "key": self.key}


def _statement_start_ok(masked_lines, index):
    """Whether the line at index begins a statement (the previous code line ended one)."""
    k = index - 1
    while k >= 0:
        prev = masked_lines[k].strip()
        if prev and not prev.startswith("#"):
            return prev.endswith((";", "{", "}", ":", ")")) or prev == "else"
        k -= 1
    return False


def _balanced(s):
    depth = 0
    for ch in s:
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def _storing_statement(stmt):
    """Whether a one-line statement (ending with ';') stores or prints."""
    if not stmt.endswith(";") or not _balanced(stmt):
        return False
    if re.match(r"(?:return|co_return|throw|using|typedef|static_assert|goto|case|default)\b", stmt):
        return False
    if ASSIGNMENT.match(stmt) or INCREMENT.match(stmt) or STREAM_OUT.match(stmt):
        return True
    # A call statement (no declaration: the text before the first '(' is one
    # name, possibly qualified or a member access).
    head = stmt.split("(", 1)[0]
    return "(" in stmt and re.fullmatch(r"[\w.\->:\[\]*]+\s*", head) is not None and bool(STORE_CALL.search(stmt))


def generate(rel_path, text):
    """All mutants of one file's text, in offset order."""
    masked = mask_source(text)
    starts = _line_starts(text)
    lines = masked.split("\n")
    mutants = []
    in_directive = False

    for index, mline in enumerate(lines):
        base = starts[index]
        lineno = index + 1
        stripped = mline.strip()
        directive = in_directive or stripped.startswith("#")
        in_directive = directive and mline.rstrip().endswith("\\")
        if directive or not stripped:
            continue

        # Comparisons, with a space on both sides (templates and shifts have none).
        for m in re.finditer(r"(?<=\s)(==|!=|<=|>=|<|>)(?=\s)", mline):
            op = m.group(1)
            a = base + m.start(1)
            mutants.append(Mutant(rel_path, lineno, "comparison", [(a, a + len(op), COMPARISON[op])],
                                  "`%s` -> `%s`" % (op, COMPARISON[op])))

        # Arithmetic and bitwise operators, binary (spaced) or compound assignment.
        for m in re.finditer(r"(?<=\s)(\+=|-=|\*=|/=|\+|-|\*|/|%|&|\|)(?=\s)", mline):
            op = m.group(1)
            a = base + m.start(1)
            mutants.append(Mutant(rel_path, lineno, "arithmetic", [(a, a + len(op), ARITHMETIC[op])],
                                  "`%s` -> `%s`" % (op, ARITHMETIC[op])))
        for m in re.finditer(r"(\+\+|--)(?=[\w(])|(?<=[\w)\]])(\+\+|--)", mline):
            op = m.group(0)
            a = base + m.start()
            other = "--" if op == "++" else "++"
            mutants.append(Mutant(rel_path, lineno, "arithmetic", [(a, a + 2, other)],
                                  "`%s` -> `%s`" % (op, other)))

        # Integer constants moved by one (0 up, others down), suffix and base
        # kept; not in rows of a data table (a line of braced literals only),
        # which would otherwise outnumber the code around them.
        data_row = DATA_ROW.match(mline) is not None
        for m in [] if data_row else re.finditer(r"(?<![\w.'])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.'])", mline):
            lit = m.group(1)
            if lit.lower().startswith("0x"):
                value = int(lit, 16)
                new = value + 1 if value == 0 else value - 1
                new_lit = lit[:2] + ("%0*X" if any(ch.isupper() for ch in lit[2:]) else "%0*x") % (len(lit) - 2, new)
            else:
                if len(lit) > 1 and lit.startswith("0"):
                    continue  # octal: leave alone
                value = int(lit)
                new = value + 1 if value == 0 else value - 1
                new_lit = str(new)
            a = base + m.start(1)
            mutants.append(Mutant(rel_path, lineno, "constant", [(a, a + len(lit), new_lit)],
                                  "`%s` -> `%s`" % (lit, new_lit)))

        # A condition negated: if (...) / while (...), not if constexpr.
        for m in re.finditer(r"\b(if|while)\s*\(", mline):
            open_at = base + m.end() - 1
            close_at = _matching_paren(masked, open_at)
            if close_at < 0:
                continue
            mutants.append(Mutant(rel_path, lineno, "negation",
                                  [(open_at + 1, open_at + 1, "!("), (close_at, close_at, ")")],
                                  "`%s (c)` -> `%s (!(c))`" % (m.group(1), m.group(1))))

        # break / continue removed.
        for m in re.finditer(r"\b(break|continue)\s*;", mline):
            a = base + m.start()
            mutants.append(Mutant(rel_path, lineno, "break-continue", [(a, base + m.end(), "{}")],
                                  "`%s;` removed" % m.group(1)))

        # A one-line statement that stores or prints removed: the whole line
        # when it begins a statement, or what follows `if (...)` / `else`.
        lead = len(mline) - len(mline.lstrip())
        candidates = []
        if _statement_start_ok(lines, index):
            candidates.append(lead)
        m = re.match(r"\s*(?:\}\s*)?(?:else\s+)?(if|while|for)\s*\(", mline)
        if m:
            close_at = _matching_paren(masked, base + m.end() - 1)
            if close_at >= 0 and close_at < base + len(mline):
                rest = close_at + 1 - base
                rest += len(mline[rest:]) - len(mline[rest:].lstrip())
                candidates.append(rest)
        else:
            m = re.match(r"\s*(?:\}\s*)?else\s+", mline)
            if m:
                candidates.append(m.end())
        for at in candidates:
            stmt = mline[at:].rstrip()
            if re.match(r"(?:if|while|for|else|do|switch)\b|[{}]", stmt):
                continue
            if _storing_statement(stmt):
                a = base + at
                shown = text[a:a + len(stmt)]
                mutants.append(Mutant(rel_path, lineno, "statement", [(a, a + len(stmt), "{}")],
                                      "`%s` removed" % (shown if len(shown) <= 80 else shown[:77] + "...")))
                break

    mutants.sort(key=lambda mu: (mu.edits[0][0], mu.kind, mu.key))
    return mutants


def product_files(root, folders=FOLDERS):
    """Product sources of each folder: {folder: [relative path, ...]} (sorted)."""
    result = {}
    for folder in folders:
        directory = os.path.join(root, folder)
        names = sorted(os.listdir(directory)) if os.path.isdir(directory) else []
        files = []
        for name in names:
            if not name.endswith(SOURCE_SUFFIXES) or name.endswith(TEST_SUFFIXES):
                continue
            rel = folder + "/" + name
            with open(os.path.join(root, rel), encoding="utf-8", errors="surrogateescape") as f:
                head = f.read(1024)
            if GENERATED_MARK.search(head):
                continue
            files.append(rel)
        result[folder] = files
    return result


def code_lines(text):
    return sum(1 for line in text.split("\n") if line.strip())


def allocate(total, sizes):
    """Split total over folders in proportion to sizes (largest remainder, ties by name)."""
    whole = sum(sizes.values())
    if whole == 0 or total <= 0:
        return {k: 0 for k in sizes}
    exact = {k: total * v / whole for k, v in sizes.items()}
    quota = {k: int(x) for k, x in exact.items()}
    left = total - sum(quota.values())
    for k in sorted(sizes, key=lambda k: (-(exact[k] - quota[k]), k))[:left]:
        quota[k] += 1
    return quota


def sample(candidates_by_folder, sizes, total, seed):
    """A reproducible sample: total mutants spread over folders by size.

    The same seed, sizes and candidate lists give the same mutants; each
    folder draws from its own generator, so one folder's candidates do not
    move another folder's picks.
    """
    quota = allocate(total, sizes)
    picked = []
    for folder in sorted(candidates_by_folder):
        pool = sorted(candidates_by_folder[folder], key=lambda mu: (mu.file, mu.edits[0][0], mu.kind, mu.key))
        rng = random.Random("%s/%s" % (seed, folder))
        count = min(quota.get(folder, 0), len(pool))
        picked.extend(rng.sample(pool, count))
    picked.sort(key=lambda mu: (mu.file, mu.edits[0][0], mu.key))
    return picked
