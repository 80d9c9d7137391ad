"""No product function is longer than 60 lines, from the line its name is on
to its closing brace: the C++ of every product folder (not tests/ or bench/),
read by Debian's universal-ctags, and the page's JavaScript, read by a small
scanner that knows strings, templates, comments and regular expressions.
Fails naming each long function with its file, line and length.

Run by CTest with SOURCE_DIR set; `python3 tests/function_length_test.py`
from the repository works too.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

LONGEST = 60

# The product's C++, folder by folder (each searched two levels deep, as
# tests/format_test.sh searches them).
CPP_FOLDERS = ["basicsource", "support", "objects", "mathematics", "documents", "offscreen",
               "recorder", "tools", "web"]
CPP_SUFFIXES = (".cpp", ".h", ".c")

# The page's JavaScript, held to the same rule once its long functions are
# split (the page's own work): add "web/src" here then.
JAVASCRIPT_FOLDERS = []

# Known long functions, each left to the work that is rewriting it: the
# circles' arrangement and the dome (mathematics/intersections.cpp and
# mathematics/dome.cpp), and the cut list (mathematics/dome_report.cpp).
# That work empties this list; an entry that is no longer long fails too, so
# that none outlives its reason.
ALLOWED = {
    ("mathematics/dome.cpp", "arrangeCircles"),
    ("mathematics/dome.cpp", "classify"),
    ("mathematics/intersections.cpp", "computeIntersections"),
    ("mathematics/dome_report.cpp", "writeCutList"),
}


def product_files(root, folders, suffixes):
    files = []
    for folder in folders:
        top = os.path.join(root, folder)
        for path, dirs, names in os.walk(top):
            dirs[:] = [d for d in dirs if d != "node_modules"]
            if path[len(top):].count(os.sep) >= 1:
                dirs[:] = []  # two levels: the folder and its subfolders
            files += [os.path.join(path, n) for n in names if n.endswith(suffixes)]
    return sorted(files)


def cpp_functions(paths):
    """(path, name, first line, length) of every C and C++ function body."""
    ctags = shutil.which("ctags-universal") or "ctags"
    out = subprocess.run([ctags, "--fields=+ne", "--kinds-C++=f", "--kinds-C=f", "-o", "-"]
                         + paths, check=True, capture_output=True, text=True).stdout
    found = []
    for line in out.splitlines():
        fields = line.split("\t")
        extra = dict(f.split(":", 1) for f in fields[3:] if ":" in f)
        if "line" in extra and "end" in extra:
            first = int(extra["line"])
            found.append((fields[1], fields[0], first, int(extra["end"]) - first + 1))
    return found


# --- JavaScript ------------------------------------------------------------------

TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*')
  | (?P<word>[A-Za-z_$][\w$]*)
  | (?P<number>\d[\w.]*)
  | (?P<arrow>=>)
  | (?P<punct>\.\.\.|[{}()\[\];,.<>+\-*/%&|^!~?:=@#])
""", re.S | re.X)
BLOCK_WORDS = {"if", "for", "while", "switch", "catch", "with"}
# After these a "/" starts a regular expression rather than dividing.
EXPRESSION_WORDS = {"return", "typeof", "case", "in", "of", "new", "delete", "void", "throw",
                    "instanceof", "yield", "await", "else", "do"}


def skip_regex(text, k):
    """The end of the regular expression literal that starts at text[k]."""
    k += 1
    in_class = False
    while text[k] != "\n":
        c = text[k]
        if c == "\\":
            k += 1
        elif c == "[":
            in_class = True
        elif c == "]":
            in_class = False
        elif c == "/" and not in_class:
            k += 1
            while k < len(text) and (text[k].isalnum() or text[k] == "_"):
                k += 1
            return k
        k += 1
    raise ValueError("unterminated regular expression")


def skip_template(text, k, tokens, line_of):
    """Reads the template literal at text[k] (its ${...} parts as code, into
    `tokens`); returns where it ends."""
    k += 1
    while text[k] != "`":
        if text[k] == "\\":
            k += 2
        elif text.startswith("${", k):
            k = scan(text, k + 2, tokens, line_of, stop_at_brace=True)
        else:
            k += 1
    return k + 1


def scan(text, k, tokens, line_of, stop_at_brace=False):
    """Appends (kind, text, line) of the significant tokens from text[k] on;
    with stop_at_brace, stops after the "}" that closes a template's ${."""
    depth = 0
    while k < len(text):
        if text[k] == "`":
            tokens.append(("template", "`", line_of(k)))
            k = skip_template(text, k, tokens, line_of)
            continue
        previous = tokens[-1] if tokens else ("punct", ";", 0)
        if text[k] == "/" and not text.startswith(("//", "/*"), k) and (
                previous[0] == "punct" and previous[1] not in ")]}"
                or previous[0] == "arrow" or previous[1] in EXPRESSION_WORDS):
            tokens.append(("regex", "/", line_of(k)))
            k = skip_regex(text, k)
            continue
        m = TOKEN.match(text, k)
        if not m:
            raise ValueError("cannot read %r at line %d" % (text[k:k + 20], line_of(k)))
        kind = m.lastgroup
        if kind not in ("space", "comment"):
            if stop_at_brace and m.group() == "{":
                depth += 1
            elif stop_at_brace and m.group() == "}":
                if depth == 0:
                    return m.end()
                depth -= 1
            tokens.append((kind, m.group(), line_of(k)))
        k = m.end()
    return k


def javascript_functions(path):
    """(path, name, first line, length) of every function, method and arrow
    function with a block body."""
    text = open(path, encoding="utf-8").read()
    starts = [0] + [m.end() for m in re.finditer("\n", text)]

    def line_of(k):
        lo, hi = 0, len(starts)
        while hi - lo > 1:
            mid = (lo + hi) // 2
            lo, hi = (mid, hi) if starts[mid] <= k else (lo, mid)
        return lo + 1

    tokens = []
    scan(text, 0, tokens, line_of)
    opened = []  # (token index of "(" or "{", whether a function, its name, first line)
    found = []
    for k, (kind, word, line) in enumerate(tokens):
        if word in "([" and kind == "punct":
            opened.append((k, False, None, line))
        elif word == "{" and kind == "punct":
            opened.append((k, *function_head(tokens, k)))
        elif word in ")]}" and kind == "punct":
            start = opened.pop()
            if word == ")":
                tokens[k] = (kind, word, line, start[0])  # remember the matching "("
            elif word == "}" and start[1]:
                found.append((path, start[2], start[3], line - start[3] + 1))
    return found


def function_head(tokens, k):
    """Whether the "{" at tokens[k] opens a function body: (True, its name,
    the line its head starts on), else (False, None, its line)."""
    before = tokens[k - 1] if k else ("punct", ";", 0)
    if before[0] == "arrow":
        # (a, b) => { or a => {, named by what it is assigned to, if anything
        start = tokens[k - 2][3] if tokens[k - 2][1] == ")" else k - 2
        named = start >= 2 and tokens[start - 1][1] in "=:"
        return True, tokens[start - 2][1] if named else "=>", tokens[start][2]
    if before[1] != ")":
        return False, None, tokens[k][2]
    head = tokens[before[3] - 1] if before[3] else ("punct", ";", 0)
    if head[1] == "function":
        return True, "function", head[2]
    if head[0] == "word" and head[1] not in BLOCK_WORDS:
        return True, head[1], head[2]  # function name(...) {, or a method
    return False, None, tokens[k][2]


# --- the checks ------------------------------------------------------------------

def long_functions(root, found):
    relative = [(os.path.relpath(p, root), name, first, n) for p, name, first, n in found]
    return [f for f in relative if f[3] > LONGEST]


def check_the_readers(fail):
    """Both readers see a function one line too long, and no shorter one."""
    with tempfile.TemporaryDirectory() as folder:
        cpp = os.path.join(folder, "sample.cpp")
        js = os.path.join(folder, "sample.js")
        body = "".join("    x += %d;\n" % k for k in range(LONGEST - 2))
        with open(cpp, "w") as f:
            f.write("int fits(int x) {\n%s}\nint tooLong(int x) {\n%s    x += 1;\n}\n"
                    % (body, body))
        with open(js, "w") as f:
            f.write("const re = /[/{]/g, t = `${'}'}{`;\n"
                    "export function fits(x) {\n%s}\n"
                    "class A {\n  tooLong(x) {\n%s    if (x) { x = 1; }\n  }\n}\n"
                    "const arrow = (x) => {\n%s};\n" % (body, body, body + "    x;\n"))
        for name, found in (("ctags", cpp_functions([cpp])), ("scanner", javascript_functions(js))):
            long = sorted(f[1] for f in found if f[3] > LONGEST)
            want = ["arrow", "tooLong"] if name == "scanner" else ["tooLong"]
            if long != want:
                fail("the %s finds %r too long in its sample, not %r" % (name, long, want))


def main():
    root = os.environ.get("SOURCE_DIR") or os.path.dirname(os.path.dirname(os.path.abspath(
        __file__)))
    problems = []
    check_the_readers(problems.append)

    cpp = product_files(root, CPP_FOLDERS, CPP_SUFFIXES)
    javascript = product_files(root, JAVASCRIPT_FOLDERS, (".js",))
    found = cpp_functions(cpp)
    for path in javascript:
        found += javascript_functions(path)
    if len(found) < 500:
        problems.append("only %d functions found in %s" % (len(found), root))

    long = long_functions(root, found)
    for path, name, first, length in long:
        if (path, name) not in ALLOWED:
            problems.append("%s:%d: %s is %d lines (at most %d): split it along its parts"
                            % (path, first, name, length, LONGEST))
    for path, name in sorted(ALLOWED - {(f[0], f[1]) for f in long}):
        problems.append("%s: %s is allowed to be long but is not: take it off ALLOWED"
                        % (path, name))
    for problem in problems:
        print("FAIL: " + problem, file=sys.stderr)
    if problems:
        return 1
    print("%d functions in %d files, none over %d lines but the %d allowed"
          % (len(found), len(cpp) + len(javascript), LONGEST, len(ALLOWED)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
