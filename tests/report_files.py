"""geodesic-report as the Python tests drive and read it: the tool run with a
command line, its files read back (JSON strictly, binary STL, OBJ, SVG as
XML), and the few vector operations the checks need. Python's standard
library only.

The tool is $BUILD_DIR/tools/geodesic-report, as CTest hands it over.
"""

import json
import math
import os
import struct
import subprocess
import xml.etree.ElementTree as ET

TOOL = os.path.join(os.environ.get("BUILD_DIR", "build/normal"), "tools", "geodesic-report")
SOURCE_DIR = os.environ.get("SOURCE_DIR") or os.path.dirname(os.path.dirname(os.path.abspath(
    __file__)))
SCENE = ["0.97531795", "0.1", "0.630991", "0.1"]
SVG = "{http://www.w3.org/2000/svg}"


# --- vectors ---------------------------------------------------------------------

def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def minus(a, b):
    return [x - y for x, y in zip(a, b)]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def length(a):
    return math.sqrt(dot(a, a))


# --- the tool ----------------------------------------------------------------------

def report(*args, status=0):
    """The tool's standard output (bytes) for the command line `args`, which
    must end with `status`."""
    run = subprocess.run([TOOL] + list(args), capture_output=True)
    if run.returncode != status:
        raise AssertionError("geodesic-report %s: status %d, expected %d: %s" % (
            " ".join(args), run.returncode, status, run.stderr.decode(errors="replace")))
    return run.stdout


def report_text(*args):
    return report(*args).decode()


def usage_error(*args):
    """The problem line of a command line the tool refuses: status 2, nothing
    on standard output, and on standard error that line and the usage line."""
    run = subprocess.run([TOOL] + list(args), capture_output=True)
    lines = run.stderr.decode(errors="replace").splitlines()
    what = repr(args)
    if run.returncode != 2 or run.stdout:
        raise AssertionError("%s: status %d, %d bytes on stdout" % (what, run.returncode,
                                                                   len(run.stdout)))
    if len(lines) != 2 or not lines[0].startswith("geodesic-report: ") or \
            not lines[1].startswith("usage: geodesic-report"):
        raise AssertionError("%s: stderr is not the problem and the usage: %r" % (what, lines))
    return lines[0]


# --- reading what it writes -----------------------------------------------------------

def read_json(text):
    """A JSON document, refusing NaN and Infinity, which JSON has not."""
    def strict(name):
        raise ValueError("non-standard JSON constant " + name)
    return json.loads(text, parse_constant=strict)


def report_json(*args):
    return read_json(report(*args))


def read_stl(data):
    """A binary STL: (its 80-byte header, [(normal, (corner, corner, corner))])."""
    if len(data) < 84:
        raise AssertionError("an STL of %d bytes" % len(data))
    count = struct.unpack("<I", data[80:84])[0]
    if len(data) != 84 + 50 * count:
        raise AssertionError("%d triangles in %d bytes" % (count, len(data)))
    triangles = []
    for k in range(count):
        f = struct.unpack("<12fH", data[84 + 50 * k:134 + 50 * k])
        triangles.append((f[0:3], (f[3:6], f[6:9], f[9:12])))
    return data[:80], triangles


def read_obj(text):
    """A Wavefront OBJ as the tool writes it: (vertices, faces, lines), the
    indices counted from 0. Any line an OBJ reader would not take fails."""
    vertices, faces, lines = [], [], []
    for line in text.splitlines():
        word = line.split()
        if not word or word[0] in ("#", "o"):
            continue
        if word[0] == "v" and len(word) == 4:
            vertices.append(tuple(float(x) for x in word[1:]))
        elif word[0] == "f" and len(word) == 4:
            faces.append(tuple(int(x) - 1 for x in word[1:]))
        elif word[0] == "l" and len(word) == 3:
            lines.append(tuple(int(x) - 1 for x in word[1:]))
        else:
            raise AssertionError("a line no OBJ reader takes: %r" % line)
    return vertices, faces, lines


def read_svg(text):
    """The root element of an SVG document."""
    root = ET.fromstring(text)
    if root.tag != SVG + "svg":
        raise AssertionError("the root is %s" % root.tag)
    return root


def texts(root):
    return ["".join(t.itertext()) for t in root.iter(SVG + "text")]


def classed(root, tag, cls):
    return [e for e in root.iter(SVG + tag) if e.get("class") == cls]
