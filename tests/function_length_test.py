"""No product C++ function is longer than 60 lines, from the line its name is
on to its closing brace: every product folder (not tests/ or bench/), read by
Debian's universal-ctags. Fails naming each long function with its file, line
and length. The page's JavaScript is held to the same rule by
web/test/function_length.test.js, which reads it with acorn.

Run by CTest with SOURCE_DIR set; `python3 tests/function_length_test.py`
from the repository works too.
"""

import os
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


# --- the checks ------------------------------------------------------------------

def long_functions(root, found):
    relative = [(os.path.relpath(p, root), name, first, n) for p, name, first, n in found]
    return [f for f in relative if f[3] > LONGEST]


def check_the_reader(fail):
    """ctags sees a function one line too long, and no shorter one."""
    with tempfile.TemporaryDirectory() as folder:
        cpp = os.path.join(folder, "sample.cpp")
        body = "".join("    x += %d;\n" % k for k in range(LONGEST - 2))
        with open(cpp, "w") as f:
            f.write("int fits(int x) {\n%s}\nint tooLong(int x) {\n%s    x += 1;\n}\n"
                    % (body, body))
        long = sorted(f[1] for f in cpp_functions([cpp]) if f[3] > LONGEST)
        if long != ["tooLong"]:
            fail("ctags finds %r too long in its sample, not ['tooLong']" % long)


def main():
    root = os.environ.get("SOURCE_DIR") or os.path.dirname(os.path.dirname(os.path.abspath(
        __file__)))
    problems = []
    check_the_reader(problems.append)

    cpp = product_files(root, CPP_FOLDERS, CPP_SUFFIXES)
    found = cpp_functions(cpp)
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
          % (len(found), len(cpp), LONGEST, len(ALLOWED)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
