"""geodesic-report's dome and paper cylinder: the JSON's "dome" against its
arcs, the cut list against the JSON, the STL and the OBJ read back as a
slicer would (watertight, outwards, on the sphere asked for, the same mesh
in both), the paper cylinder measured as a ruler would, and every bad value
or combination of options refused. (The properties of the dome itself are
tests/dome_test.cpp's.)"""

import math
import os
import pty
import re
import struct
import subprocess
import sys
import tempfile
import unittest

from report_files import (SOURCE_DIR, SVG, TOOL, cross, dot, length, minus, read_obj, read_stl,
                          read_svg, report, report_json, report_text, usage_error)

sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "harness"))
from png_rows import read_png  # noqa: E402

SCENE_DOME = "0.97531795 0.1 0.630991 0.1"
POLE_DOME = "1 0.3 0.630991 0.1"
NO_DOME = ["1", "0", "-1", "0"]


class DomeJson(unittest.TestCase):
    # For each set of values: V E F, faces by size, hubs and panels.
    SETS = [
        (SCENE_DOME, (90, 180, 92), "3:60 5:12 6:20", 122, 240),
        (POLE_DOME, (20, 40, 22), "3:10 4:10 5:2", 32, 60),
        ("0.5 0.3 0.5 0.3", (20, 40, 22), "3:10 4:10 5:2", 32, 60),
    ]

    def test_counts_and_struts_against_the_arcs(self):
        for values, euler, sizes, hubs, panels in self.SETS:
            with self.subTest(values=values):
                doc = report_json("--format", "json", *values.split())
                d = doc["dome"]
                self.assertEqual((d["vertices"], d["edges"], d["faces"]), euler)
                self.assertEqual(" ".join("%d:%d" % (s["corners"], s["count"])
                                          for s in d["facesBySize"]), sizes)
                self.assertEqual((d["hubCount"], d["panelCount"]), (hubs, panels))
                self.assertEqual(d["vertices"], len(doc["intersections"]))
                check_struts(self, doc)
        d = report_json("--format", "json", *SCENE_DOME.split())["dome"]
        shares = "%.4f %.4f" % (d["area"] / (4 * math.pi), d["volume"] / (4 * math.pi / 3))
        self.assertEqual(shares, "0.9701 0.9455", "the scene's panels' area and volume shares")

    def test_no_dome_is_null(self):
        for values in ("1 0 -1 0", "0 0 0 0.5", "0 0.3 1 0"):
            self.assertIsNone(report_json("--format", "json", *values.split())["dome"], values)


def check_struts(test, doc):
    """Struts from the shortest, lettered A, B, ...: the edges' chords and the
    spokes; each edge is one arc of a circle that no lower-numbered circle
    coincides with."""
    d = doc["dome"]
    lengths = [s["length"] for s in d["struts"]]
    test.assertEqual(lengths, sorted(lengths))
    test.assertEqual([s["letter"] for s in d["struts"]][:2], ["A", "B"][:len(lengths)])
    test.assertFalse(any(b - a <= 1e-6 for a, b in zip(lengths, lengths[1:])),
                     "two classes of one length")
    coincident = {b for a, b in doc["coincidentCircles"]}
    edges = [a for a in doc["arcs"] if a["circle"] not in coincident]
    test.assertEqual(len(edges), d["edges"])
    test.assertEqual(sum(s["count"] for s in d["struts"]), d["strutCount"])
    test.assertEqual(d["strutCount"], d["edges"] + d["spokes"])
    test.assertEqual(sum(s["count"] - s["spokes"] for s in d["struts"]), d["edges"])
    for a in edges:
        test.assertTrue(any(abs(a["chord"] - s["length"]) <= 1e-6
                            for s in d["struts"] if s["count"] > s["spokes"]),
                        "arc %r's chord is no strut's length" % a)
    test.assertEqual(sum(h["count"] for h in d["hubs"]), d["hubCount"])
    test.assertEqual(sum(p["count"] for p in d["panels"]), d["panelCount"])


class CutList(unittest.TestCase):
    def test_its_numbers_are_the_jsons_at_the_radius_asked_for(self):
        # Lengths, chord factors, bends and counts, hubs, panels' letters,
        # angles and counts, area and volume.
        for radius, args, values in (("1", ["--dome"], SCENE_DOME),
                                     ("2500", ["--dome", "--radius", "2500"], SCENE_DOME),
                                     ("0.75", ["--radius=0.75", "--dome"], POLE_DOME)):
            with self.subTest(radius=radius):
                text = report_text(*args, *values.split())
                dome = report_json("--format", "json", *values.split())["dome"]
                check_cut_list(self, text, dome, float(radius))
        text = report_text("--dome")
        self.assertIn("\n  5-way × 12\n", text)
        self.assertIn("\n  6-way × 110\n", text)

    def test_no_dome_is_one_line(self):
        text = report_text("--dome", *NO_DOME)
        self.assertEqual(text.count("\n"), 1)
        self.assertTrue(text.startswith("No dome"))


def check_cut_list(test, text, d, radius):
    test.assertIn("V - E + F = %d - %d + %d = 2" % (d["vertices"], d["edges"], d["faces"]),
                  text.replace("\n", " "))
    rows = re.findall(r"^([A-Z]+) +([\d.]+) +([\d.]+) +([\d.]+)° +(\d+)$", text, re.M)
    test.assertEqual(len(rows), len(d["struts"]))
    for (letter, size, factor, bend, count), s in zip(rows, d["struts"]):
        test.assertEqual((letter, int(count)), (s["letter"], s["count"]))
        test.assertLessEqual(abs(float(factor) - s["length"]), 5e-9, letter)
        test.assertLessEqual(abs(float(bend) - math.degrees(s["bendAngle"])), 0.005, letter)
        test.assertLessEqual(abs(float(size) - s["length"] * radius), 1e-6 * radius, letter)
    total = float(re.search(r"^Total strut length: ([\d.]+)$", text, re.M).group(1))
    test.assertLessEqual(abs(total - d["totalStrutLength"] * radius), 1e-6 * radius)
    lengths = [s["length"] for s in d["struts"]]
    variance = float(re.search(r"^Strut variance: ([\d.]+) ", text, re.M).group(1))
    test.assertLessEqual(abs(variance - (lengths[-1] / lengths[0] - 1)), 1e-6)
    test.assertEqual(re.findall(r"^  (\d+)-way × (\d+)$", text, re.M),
                     [(str(h["valence"]), str(h["count"])) for h in d["hubs"]])
    panels = re.findall(r"^([A-Z-]+) +([\d.]+) +([\d.]+) +([\d.]+) +(\d+)$", text, re.M)
    test.assertEqual([(p[0], int(p[4])) for p in panels],
                     [("-".join(p["struts"]), p["count"]) for p in d["panels"]])
    for row, p in zip(panels, d["panels"]):
        test.assertTrue(all(abs(float(a) - math.degrees(b)) <= 0.005
                            for a, b in zip(row[1:4], p["angles"])), row[0])
    area = re.search(r"^Area of the panels: (\S+) \(([\d.]+) % ", text, re.M)
    volume = re.search(r"^Volume they enclose: (\S+) \(([\d.]+) % ", text, re.M)
    test.assertLessEqual(abs(float(area.group(1)) / (d["area"] * radius ** 2) - 1), 1e-6)
    test.assertLessEqual(abs(float(volume.group(1)) / (d["volume"] * radius ** 3) - 1), 1e-6)
    test.assertLessEqual(abs(float(area.group(2)) - 100 * d["area"] / (4 * math.pi)), 0.005)


class Solid(unittest.TestCase):
    # Read back as a slicer would: the triangle count, every edge in exactly
    # two triangles and once each way round (watertight and consistently
    # wound), each stored normal the corners' right-hand normal and away from
    # the centre, every corner on the sphere asked for, and the volume the
    # JSON gives.
    def test_stl_is_closed_outward_and_on_the_sphere(self):
        for radius, args, values in (("50", [], SCENE_DOME),
                                     ("1000", ["--radius", "1000"], SCENE_DOME),
                                     ("12.5", ["--radius", "12.5"], POLE_DOME)):
            with self.subTest(radius=radius):
                data = report("--format=stl", *args, *values.split())
                dome = report_json("--format", "json", *values.split())["dome"]
                check_stl(self, data, float(radius), dome)

    def test_obj_is_the_stls_mesh_with_the_struts_as_lines(self):
        # The same triangles, in the same order and winding, and its lines
        # the struts: the triangles' edges, each once.
        vertices, faces, lines = read_obj(report_text("--format", "obj"))
        _, triangles = read_stl(report("--format", "stl"))
        d = report_json("--format", "json")["dome"]
        self.assertEqual((len(vertices), len(faces), len(lines)),
                         (d["hubCount"], d["panelCount"], d["strutCount"]))
        self.assertTrue(all(0 <= i < len(vertices) for f in faces + lines for i in f))
        self.assertEqual(len(triangles), len(faces))
        for k, (f, (_, corners)) in enumerate(zip(faces, triangles)):
            as_float = [struct.unpack("<3f", struct.pack("<3f", *vertices[i])) for i in f]
            self.assertEqual(as_float, list(corners), "face %d is the STL's triangle %d" % (k, k))
        edges = {frozenset((f[a], f[(a + 1) % 3])) for f in faces for a in range(3)}
        self.assertEqual({frozenset(s) for s in lines}, edges)
        self.assertEqual(len(set(map(frozenset, lines))), len(lines))

    def test_binary_never_goes_to_a_terminal(self):
        for fmt, status in (("stl", 2), ("obj", 0)):
            main, side = pty.openpty()
            run = subprocess.run([TOOL, "--format", fmt, "1", "0.3", "0.5", "0.1"], stdout=side,
                                 stderr=subprocess.PIPE)
            os.close(side)
            os.close(main)
            self.assertEqual(run.returncode, status, fmt)
            if fmt == "stl":
                self.assertEqual(len(run.stderr.splitlines()), 1)
                self.assertIn(b"terminal", run.stderr)

    def test_no_dome_writes_nothing(self):
        for fmt in ("stl", "obj"):
            run = subprocess.run([TOOL, "--format", fmt, *NO_DOME], capture_output=True)
            self.assertEqual((run.returncode, run.stdout), (1, b""), fmt)
            self.assertEqual(len(run.stderr.splitlines()), 1)
            self.assertIn(b"no dome", run.stderr)


def check_stl(test, data, radius, d):
    header, triangles = read_stl(data)
    test.assertFalse(header.startswith(b"solid"), "a binary STL's header starts with 'solid'")
    test.assertEqual(len(triangles), d["panelCount"])
    sides, volume = {}, 0
    for k, (normal, corners) in enumerate(triangles):
        for c in corners:
            test.assertLessEqual(abs(length(c) - radius), 1e-6 * radius, "corner %r" % (c,))
        right = cross(minus(corners[1], corners[0]), minus(corners[2], corners[0]))
        test.assertLessEqual(abs(length(normal) - 1), 1e-6, "normal %d's length" % k)
        if length(right) > 0:
            test.assertGreaterEqual(dot(right, normal) / length(right), 0.999,
                                    "triangle %d wound against its normal" % k)
        centroid = [sum(c[i] for c in corners) / 3 for i in range(3)]
        test.assertGreater(dot(normal, centroid), 0, "triangle %d faces inwards" % k)
        volume += dot(corners[0], cross(corners[1], corners[2])) / 6
        for a, b in ((0, 1), (1, 2), (2, 0)):
            side = (corners[a], corners[b])
            sides[side] = sides.get(side, 0) + 1
    for (a, b), count in sides.items():
        test.assertTrue(count == 1 and sides.get((b, a)) == 1,
                        "edge %r-%r not in exactly two triangles" % (a, b))
    test.assertEqual(len(sides), 2 * d["strutCount"])
    test.assertLessEqual(abs(volume / (d["volume"] * radius ** 3) - 1), 1e-5)


class PaperCylinder(unittest.TestCase):
    # Measured as a ruler would: the pieces (each where its page puts it) make
    # a sheet pi D wide and as tall as the heights shown, nothing lies outside
    # its page's printable area, each curve's highest point is where the
    # plane's normal puts it ((angle of the top) D / 2 along, amplitude D / 2
    # above the equator), and each intersection's image is at its angle and
    # height.
    SETS = [  # diameter, pages, values
        (40, 1, "0.97531795 0.1 0.630991 0.1"),
        (60, 2, "-0.99999994 -1.23456789e+30 0.99999994 -3.40282347e+38"),
        (50, 2, "0.97531795 0.1 0.630991 0.1"),
        (120, 3, "0.3 0.1 -0.5 1"),
        (300, 48, "0.97531795 0.1 0.630991 0.1"),
        (25, 1, "1 0.3 0.630991 0.1"),
        (10, 1, "1 0 -1 0"),
    ]

    def test_the_sheet_measures_as_the_mathematics_says(self):
        for diameter, pages, values in self.SETS:
            with self.subTest(diameter=diameter, values=values):
                svg = report_text("--format", "svg", "--diameter", str(diameter), *values.split())
                doc = report_json("--format", "json", *values.split())
                check_paper(self, read_svg(svg), doc, diameter, pages)

    def test_nothing_is_printed_in_the_margins(self):
        # Rendered at 96 pixels to the inch, each page is 210 x 279.4 mm (794
        # x 1056 pixels), and nothing (text included) is drawn within 10 mm of
        # its edges, where printers may print nothing.
        for args in (["60"], ["30", "0.9999", "0.3", "0.2", "1"]):
            with self.subTest(args=args):
                svg = report_text("--format", "svg", "--diameter", *args)
                check_margins(self, svg, svg.count('class="page"'))


def translate(el):
    m = re.fullmatch(r"translate\(([-\d.]+) ([-\d.]+)\)", el.get("transform"))
    return float(m.group(1)), float(m.group(2))


def numbers(s):
    return [float(x) for x in re.findall(r"-?\d+(?:\.\d+)?", s)]


def check_paper(test, root, doc, diameter, pages):
    tall = "%.3f" % (279.4 * pages)
    test.assertEqual((root.get("width"), root.get("height"), root.get("viewBox")),
                     ("210.000mm", tall + "mm", "0 0 210.000 " + tall))
    test.assertIn("@page { size: 210.000mm 279.400mm; margin: 0 }",
                  "".join(root.find(SVG + "style").itertext()))
    page_groups = [g for g in root if g.get("class") == "page"]
    test.assertEqual(len(page_groups), pages)
    sheet = {"cuts": [], "tops": {}, "dots": [], "labels": {}, "equator": None}
    for n, page in enumerate(page_groups):
        test.assertEqual(translate(page), (0, round(279.4 * n, 3)), "page %d" % n)
        read_piece(test, page, n, sheet)
    check_sheet_width(test, sheet["cuts"], diameter)
    check_tops_and_dots(test, doc, sheet, diameter / 2)


def read_piece(test, page, n, sheet):
    """Collects a page's cut lines, curve points, dots, names and equator,
    checking that each lies in its page's printable area: 10 mm from each edge."""
    piece = page.find(SVG + "g[@class='piece']")
    dx, dy = translate(piece)

    def on_page(x, y, what):
        test.assertTrue(10 - 1e-6 <= x + dx <= 200 + 1e-6 and 10 - 1e-6 <= y + dy <= 269.4 + 1e-6,
                        "page %d: %s at %.3f, %.3f is off the printable area"
                        % (n + 1, what, x + dx, y + dy))
    for el in piece.iter():
        tag = el.tag[len(SVG):]
        if tag == "polyline":
            points = numbers(el.get("points"))
            for x, y in zip(points[0::2], points[1::2]):
                on_page(x, y, "a curve")
                sheet["tops"].setdefault(int(el.get("class").split("c")[-1]), []).append((x, y))
        elif tag == "path" and el.get("class") == "cut":
            points = numbers(re.sub(r"[MLHV]", " ", el.get("d")))
            # M x1,y0 H x0: left, right, top
            sheet["cuts"].append((points[2], points[0], points[1]))
        elif tag == "circle":
            on_page(float(el.get("cx")), float(el.get("cy")), "a dot")
            sheet["dots"].append((float(el.get("cx")), float(el.get("cy"))))
        elif tag == "text" and re.fullmatch(r"[12]\.[0-4]", el.text or ""):
            circle = int(el.text[0]) * 5 - 5 + int(el.text[2])
            sheet["labels"][circle] = (float(el.get("x")), float(el.get("y")))
        elif tag == "line" and el.get("class") == "equator":
            sheet["equator"] = float(el.get("y1"))
    xs = numbers(page.find(SVG + "path[@class='scale-bar']").get("d"))[0::2]
    test.assertLessEqual(abs(max(xs) - min(xs) - 50), 1e-9, "the scale bar is 50 mm")


def check_sheet_width(test, cuts, diameter):
    """The pieces of each row side by side, pi D together."""
    for y0 in sorted({round(c[2], 3) for c in cuts}):
        row = sorted(c[:2] for c in cuts if round(c[2], 3) == y0)
        test.assertFalse(abs(row[0][0]) > 1e-3 or
                         any(abs(a[1] - b[0]) > 1e-3 for a, b in zip(row, row[1:])),
                         "the pieces of a row do not join")
        test.assertLessEqual(abs(row[-1][1] - math.pi * diameter), 2e-3, "the sheet's width")


def check_tops_and_dots(test, doc, sheet, r):
    half, tops, labels = sheet["equator"] / r, sheet["tops"], sheet["labels"]
    for c, e in enumerate(e for p in doc["pentagons"] for e in p["edges"]):
        nx, ny, nz = e["normal"]
        if doc["pentagons"][c // 5]["collapsed"] or ny == 0:  # no plane: a pentagon at a pole
            test.assertNotIn(c, tops, "a curve without a plane")
            continue
        amplitude = math.hypot(nx, nz) / abs(ny)
        s = -1 if ny > 0 else 1
        angle = math.atan2(s * nx, s * nz) % (2 * math.pi)
        want = (angle * r, (half - amplitude) * r)
        if amplitude > half:
            continue  # off the sheet
        # Drawn to the thousandth of a millimetre: the highest points (ties
        # after rounding among them) at the top's height, one of them at the top.
        highest = min(y for x, y in tops[c])
        test.assertLessEqual(abs(highest - want[1]), 0.001, "curve %d's top" % c)
        test.assertTrue(any(math.dist((x, y), want) < 0.001 for x, y in tops[c]),
                        "curve %d's top at %r" % (c, want))
        # Its name just above it, where there is room on the piece.
        if c in labels:
            test.assertLessEqual(math.dist(labels[c], (want[0], want[1] - 1.2)), 0.002,
                                 "curve %d's name" % c)
    want = [(math.atan2(q["cylinder"][0], q["cylinder"][2]) % (2 * math.pi) * r,
             (half - q["cylinder"][1]) * r)
            for q in doc["intersections"] if q["cylinder"] is not None and
            abs(q["cylinder"][1]) <= half]
    if r == 20:
        test.assertGreaterEqual(len(labels), 8, "the scene's curves named")
    test.assertEqual(len(sheet["dots"]), len(want))
    for w in want:
        test.assertTrue(any(math.dist(w, d) < 0.002 for d in sheet["dots"]), "no dot at %r" % (w,))


def check_margins(test, svg, pages):
    with tempfile.TemporaryDirectory() as folder:
        source, png = os.path.join(folder, "paper.svg"), os.path.join(folder, "paper.png")
        with open(source, "w") as f:
            f.write(svg)
        run = subprocess.run(["rsvg-convert", "-d", "96", "-p", "96", source, "-o", png],
                             capture_output=True)
        test.assertEqual(run.returncode, 0, run.stderr)
        w, h, bpp, rows = read_png(png)
    test.assertEqual(w, 794)
    test.assertLessEqual(abs(h - pages * 279.4 / 25.4 * 96), 1)
    mm = 96 / 25.4
    for y, line in enumerate(rows):
        down = y / mm % 279.4  # millimetres from the top of its page
        inside_rows = 10 - 0.5 <= down <= 269.4 + 0.5
        for x in range(w):
            if inside_rows and 10 - 0.5 <= x / mm <= 200 + 0.5:
                continue
            if min(line[x * bpp:x * bpp + 3]) < 250:
                test.fail("ink at %.1f mm across, %.1f mm down page %d"
                          % (x / mm, down, y / mm // 279.4 + 1))


class CommandLine(unittest.TestCase):
    # Bad values, hexadecimal among them (refused in the words the four
    # values get), and options that would do nothing.
    REFUSED = [
        ("--radius '0' is not a positive number", ["--dome", "--radius", "0"]),
        ("--radius '-3' is not a positive number", ["--format", "stl", "--radius", "-3"]),
        ("--radius 'abc' is not a number", ["--dome", "--radius", "abc"]),
        ("--radius '' is not a number", ["--dome", "--radius", ""]),
        ("--radius ' 5' is not a number", ["--dome", "--radius", " 5"]),
        ("--radius '5mm' is not a number", ["--dome", "--radius", "5mm"]),
        ("--radius '0x10' is not a number", ["--dome", "--radius", "0x10"]),
        ("--diameter '0x40' is not a number", ["--format", "svg", "--diameter", "0x40"]),
        ("LAT1 '0x1p-1' is not a number", ["--format", "stl", "0x1p-1", "0", "0.5", "0"]),
        ("--radius 'nan' is not a finite number", ["--dome", "--radius", "nan"]),
        ("--radius 'inf' is not a finite number", ["--dome", "--radius", "inf"]),
        ("--radius '1e7' is too large (at most 1000000)", ["--format", "obj", "--radius", "1e7"]),
        ("--radius '1e999' is too large", ["--dome", "--radius", "1e999"]),
        ("--radius '1e-999' is not a positive number", ["--dome", "--radius", "1e-999"]),
        ("missing value after --radius", ["--dome", "--radius"]),
        ("missing value after --radius", ["--dome", "--radius="]),
        ("--diameter '0' is not a positive number", ["--format", "svg", "--diameter", "0"]),
        ("--diameter '1001' is too large (at most 1000 mm)",
         ["--format", "svg", "--diameter", "1001"]),
        ("--diameter '-Infinity' is not a finite number",
         ["--format", "svg", "--diameter=-Infinity"]),
        ("--radius applies to --dome", ["--format", "json", "--radius", "2"]),
        ("--radius applies to --dome", ["--format", "svg", "--radius", "2"]),
        ("--diameter applies to --format svg", ["--dome", "--diameter", "50"]),
        ("--dome is the cut list as text", ["--format", "json", "--dome"]),
        ("--dome and --intersections are two different texts", ["--dome", "--intersections"]),
        ("--intersections has nothing to add", ["--format", "stl", "--intersections"]),
        ("unknown format 'ply'", ["--format", "ply"]),
    ]

    def test_bad_values_and_useless_options_are_refused(self):
        for problem, args in self.REFUSED:
            with self.subTest(args=args):
                self.assertIn(problem, usage_error(*args))

    def test_the_limits_themselves_are_taken(self):
        report("--format", "svg", "--diameter", "1000", "0.5", "0", "0.5", "1")
        report("--dome", "--radius", "1000000")


if __name__ == "__main__":
    unittest.main()
