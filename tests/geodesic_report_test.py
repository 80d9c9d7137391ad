"""geodesic-report: the text report as the library prints it, the JSON
document read back by a real parser and checked against the text and the
geometry, the intersections' table against the JSON, the SVG parsed as XML,
measured against the JSON and rendered to PNG, and every command-line error
path. (The dome, its solids and the paper cylinder: dome_report_test.py.)"""

import math
import os
import re
import subprocess
import sys
import tempfile
import unittest

from report_files import (SCENE, SVG, TOOL, SOURCE_DIR, classed, dot, read_svg, report,
                          report_json, report_text, texts, usage_error)

sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "harness"))
from png_rows import read_png  # noqa: E402

# Single precision on the unit sphere: about 1e-7 per coordinate; 1e-5 leaves
# room for the rounding of the basis vectors.
TOL = 1e-5


def near(v, want):
    return abs(v - want) <= 1e-5 * abs(want)


def label(c):
    return "%d.%d" % (c // 5 + 1, c % 5)


def nine(v):
    """As the intersections' table writes a number: nine decimals, no "-0"."""
    return "%.9f" % v if "%.9f" % v != "-0.000000000" else "0.000000000"


class ValueReport(unittest.TestCase):
    def test_text_is_the_scenes_by_default(self):
        text = report_text("--format", "text", *SCENE)
        self.assertEqual(report_text(), text)
        self.assertIn(" xcoord 0 = 0.219702\t ycoord 0 = 0.975318\t zcoord 0 = 0.0220437\t", text)
        self.assertIn(" lon 4 = 1.15664\t lat 4 = 0.22264\t", text)
        self.assertTrue(text.endswith("\n"))
        self.assertNotIn("Intersections", text)

    def test_json_holds_the_geometry_and_the_texts_numbers(self):
        doc, text = report_json("--format", "json"), report_text()
        args = doc["arguments"]
        self.assertEqual([args[k] for k in ("pent_lat1", "pent_long1", "pent_lat2", "pent_long2")],
                         [0.975317955, 0.100000001, 0.630990982, 0.100000001])
        self.assertEqual((doc["samplesPerCurve"], len(doc["sampleAngles"])), (100, 100))
        for j, a in enumerate(doc["sampleAngles"]):
            self.assertLess(abs(a - 2 * j * math.pi / 100), 1e-6, j)
        pents = doc["pentagons"]
        self.assertEqual(len(pents), 2)
        for p in pents:
            check_pentagon_geometry(self, p)
        self.assertEqual(pents[0]["edges"][0]["greatCircle"][0], pents[0]["corners"][0]["point"],
                         "a great circle starts at its corner")
        e1, e2 = pents[0]["edges"][0], pents[1]["edges"][0]
        for e in (e1, e2):
            q = e["equatorCrossings"][0]
            self.assertTrue(near(q[0], 0.665616) and near(q[2], -0.746295), q)
            self.assertEqual(e["equatorCrossings"][1], [-q[0], -q[1], -q[2]])
        self.assertTrue(near(e1["cylinderCurve"][0][1], 3.63415) and
                        near(e1["cylinderCurve"][25][1], 4.07465), "pentagon 1's heights")
        self.assertTrue(near(e2["cylinderCurve"][0][1], 0.669183) and
                        near(e2["cylinderCurve"][25][1], 0.750294), "pentagon 2's heights")
        check_same_numbers(self, pents, text)

    def test_a_pentagon_at_a_pole_is_collapsed(self):
        # Its corners coincide with the pole in single precision (at -1,
        # sin(phi) is about 9e-8, not 0): zero normals flagged, null heights,
        # the label in the drawing; the figure's message never reaches the
        # output. The text report stays as computed.
        for pole in ("1", "-1"):
            values = [pole, "0.3", "0.630991", "0.1"]
            raw = report("--format", "json", *values)
            self.assertNotIn(b"division", raw)
            doc, text = report_json("--format", "json", *values), report_text(*values)
            p1, p2 = doc["pentagons"]
            self.assertTrue(p1["collapsed"] and not p2["collapsed"])
            self.assertTrue(all(e["normalWasZero"] for e in p1["edges"]))
            self.assertFalse(any(e["normalWasZero"] for e in p2["edges"]))
            self.assertFalse(any(c[1] is not None for e in p1["edges"] for c in e["cylinderCurve"]))
            self.assertTrue(all(e["normal"] == [0, 0, 0] for e in p1["edges"]))
            self.assertTrue(all(c["point"] == [0, float(pole), 0] for c in p1["corners"]))
            # The report's longitudes are the text report's, from the corners as computed.
            self.assertEqual(re.findall(r" lon \d = (\S+)\t", text)[:5],
                             ["%g" % c["reportLongitude"] for c in p1["corners"]])
            self.assertIn('class="pole p1"', report_text("--format", "svg", *values))

    def test_a_pentagon_on_the_equator_crosses_it_at_its_corners(self):
        for p in report_json("--format", "json", "0", "0.4", "0", "-2")["pentagons"]:
            for i, e in enumerate(p["edges"]):
                self.assertEqual(e["equatorCrossings"][0], p["corners"][i]["point"], i)


def check_pentagon_geometry(test, p):
    test.assertEqual((len(p["corners"]), len(p["edges"])), (5, 5))
    for c in p["corners"]:
        test.assertLess(abs(dot(c["point"], c["point"]) - 1), TOL, "corner on the sphere")
    for i, e in enumerate(p["edges"]):
        test.assertIs(e["normalWasZero"], False)
        n, u = e["normal"], e["unitNormal"]
        for k in (i, (i + 1) % 5):
            test.assertLess(abs(dot(n, p["corners"][k]["point"])), 1e-6, "normal against corner")
        for q in e["equatorCrossings"]:
            test.assertTrue(abs(q[1]) < 1e-6 and abs(dot(q, q) - 1) < TOL and abs(dot(u, q)) < TOL,
                            "equator crossing %r" % q)
        test.assertEqual((len(e["greatCircle"]), len(e["cylinderCurve"])), (100, 100))
        for g in e["greatCircle"]:
            test.assertTrue(abs(dot(g, g) - 1) < TOL and abs(dot(u, g)) < TOL, "great circle")
        for c in e["cylinderCurve"]:
            test.assertLess(abs(c[0] ** 2 + c[2] ** 2 - 1), 1e-6, "on x^2 + z^2 = 1")
            test.assertLess(abs(dot(n, c)), 1e-6 * sum(abs(a * b) for a, b in zip(n, c)),
                            "cylinder sample in its plane")


def check_same_numbers(test, pents, text):
    """The JSON's numbers are the text report's: six significant digits of each float."""
    def section(title):
        start = text.index(title)
        end = text.find("\n\n\n", start)
        return text[start:] if end < 0 else text[start:end]
    for idx, p in enumerate(pents):
        which = ("First", "Second")[idx]
        coords = re.findall(r" xcoord (\d) = (\S+)\t ycoord \d = (\S+)\t zcoord \d = (\S+)\t",
                            section(which + " pentagon coordinates"))
        crosses = re.findall(r" xcross (\d) = (\S+)\t ycross \d = (\S+)\t zcross \d = (\S+)\t",
                             section(which + " pentagon cross product"))
        lons = re.findall(r" lon (\d) = (\S+)\t lat \d = (\S+)\t",
                          section("Spherical coordinates for pentagon %d" % (idx + 1)))
        test.assertTrue(len(coords) == len(crosses) == len(lons) == 5, "text sections parsed")
        for i in range(5):
            test.assertEqual(list(coords[i][1:]), ["%g" % v for v in p["corners"][i]["point"]])
            test.assertEqual(list(crosses[i][1:]), ["%g" % v for v in p["edges"][i]["normal"]])
            test.assertEqual(list(lons[i][1:]), ["%g" % p["corners"][i]["reportLongitude"],
                                                 "%g" % p["reportLatitude"]])


class Intersections(unittest.TestCase):
    # The JSON's intersections and arcs against its own pentagons, and the
    # --intersections text against the JSON, number for number: for the
    # scene, a pentagon at a pole, the same pentagon twice, a pentagon on the
    # equator, the steepest curves, mirror images (points a rounding off the
    # equator, never "-0.000000000"), and with no points at all.
    SETS = [  # four values, then points, arcs and coincident pairs
        ("0.97531795 0.1 0.630991 0.1", 90, 180, 0),
        ("1 0.3 0.630991 0.1", 20, 40, 0),
        ("0.5 0.3 0.5 0.3", 20, 80, 5),
        ("0 0.3 0.630991 0.1", 30, 100, 10),
        ("0.99999994 0.2 -0.99999994 0.1", 90, 180, 0),
        ("0.7 0 -0.7 0", 90, 180, 0),
        ("1 0 -1 0", 0, 0, 0),
        ("0 0 0 0.5", 0, 0, 45),
    ]

    def test_the_json_and_the_table_agree_with_the_geometry(self):
        for values, points, arcs, pairs in self.SETS:
            with self.subTest(values=values):
                doc = report_json("--format", "json", *values.split())
                text = report_text("--intersections", *values.split())
                self.assertEqual((len(doc["intersections"]), len(doc["arcs"]),
                                  len(doc["coincidentCircles"])), (points, arcs, pairs))
                check_points_and_arcs(self, doc)
                check_table(self, doc, text)

    def test_only_what_was_asked_for(self):
        self.assertNotIn("First pentagon coordinates", report_text("--intersections"))


def check_points_and_arcs(test, doc):
    points, arcs = doc["intersections"], doc["arcs"]
    normals = [e["unitNormal"] for p in doc["pentagons"] for e in p["edges"]]
    live = [not p["collapsed"] for p in doc["pentagons"] for _ in range(5)]
    for k, q in enumerate(points):
        s = q["sphere"]
        test.assertLess(abs(dot(s, s) - 1), 1e-12, "point %d on the sphere" % k)
        test.assertTrue(q["circles"] == sorted(set(q["circles"])) and len(q["circles"]) >= 2)
        for c in q["circles"]:
            test.assertTrue(live[c] and abs(dot(normals[c], s)) <= 1e-6, "%d on %d" % (k, c))
        r = math.hypot(s[0], s[2])
        if q["cylinder"] is None:
            test.assertLessEqual(r, 1e-9, "point %d has no image" % k)
        else:
            test.assertLessEqual(max(abs(a - b / r) for a, b in zip(q["cylinder"], s)),
                                 1e-12 * (1 + abs(s[1] / r)), "image of %d" % k)
        test.assertEqual(q["equatorCrossing"], abs(s[1]) < 1e-6)
        for corner in q["corners"]:
            point = doc["pentagons"][corner // 5]["corners"][corner % 5]["point"]
            test.assertLessEqual(math.dist(s, point), 1e-6, "%d is corner %s" % (k, label(corner)))
    # Every live circle: its arcs in a row, one per point on it, adding up to 2 pi.
    for c in range(10):
        mine = [a for a in arcs if a["circle"] == c]
        on = [k for k, q in enumerate(points) if c in q["circles"]]
        test.assertEqual(sorted(a["from"] for a in mine), on, "arcs of circle %d" % c)
        for a, b in zip(mine, mine[1:] + mine[:1]):
            test.assertEqual(a["to"], b["from"])
            chord = math.dist(points[a["from"]]["sphere"], points[a["to"]]["sphere"])
            test.assertTrue(abs(a["chord"] - chord) <= 1e-15 and 0 < a["angle"] < 2 * math.pi, a)
            test.assertFalse(a["cylinderLength"] is None or a["cylinderLength"] <
                             a["angle"] * abs(normals[c][1]) * (1 - 1e-12), a)
        if mine:
            test.assertLessEqual(abs(sum(a["angle"] for a in mine) - 2 * math.pi), 1e-12)
    for a, b in doc["coincidentCircles"]:
        test.assertTrue(a < b and (math.dist(normals[a], normals[b]) <= 1e-6 or
                                   math.dist(normals[a], [-x for x in normals[b]]) <= 1e-6))


def check_table(test, doc, text):
    """The text: the same points and arcs, to its nine decimals."""
    points, arcs = doc["intersections"], doc["arcs"]
    live = [not p["collapsed"] for p in doc["pentagons"] for _ in range(5)]
    test.assertIsNone(re.search(r"nan|inf", text, re.I))
    test.assertTrue(text.startswith("Intersections of the great circles"))
    rows = re.findall(r"^ *(\d+)  ((?:[12]\.[0-4] ?)+?) +(-?[\d.]+) +(-?[\d.]+) +(-?[\d.]+)"
                      r" +(\S+) +(\S+) +(\S+)(.*)$", text, re.M)
    test.assertEqual(len(rows), len(points))
    for (k, circles, *numbers, notes), q in zip(rows, points):
        image = q["cylinder"] or [None] * 3
        test.assertEqual(circles.split(), [label(c) for c in q["circles"]])
        test.assertEqual(numbers, [nine(v) for v in q["sphere"]] +
                         [nine(v) if v is not None else "none" for v in image], "row " + k)
        test.assertEqual(("corner" in notes, "equator" in notes),
                         (bool(q["corners"]), q["equatorCrossing"]), "notes of row " + k)
        for corner in q["corners"]:
            test.assertIn(label(corner), notes)
    arc_rows = re.findall(r"^ *(\d+) +(\d+) +(\d+) +([\d.]+) +([\d.]+) +(\S+)$", text, re.M)
    test.assertEqual([tuple(map(int, r[:3])) for r in arc_rows],
                     [(k, a["from"], a["to"]) for k, a in enumerate(arcs)])
    for r, a in zip(arc_rows, arcs):
        length = a["cylinderLength"]
        test.assertEqual(list(r[3:]), [nine(a["angle"]), nine(a["chord"]),
                                       nine(length) if length is not None else "none"])
    # The totals: the angles make a whole turn, the cylinder lengths the whole curve.
    for angle, cylinder, curve in re.findall(
            r"^total +(\S+) +\S+ +(\S+)\nthe whole circle +\S+ +(\S+)$", text, re.M):
        test.assertEqual(angle, "6.283185307")
        test.assertLessEqual(abs(float(cylinder) - float(curve)), 2e-9 * float(curve))
    circles = re.findall(r"^Circle ([12]\.[0-4]), .*: (?:(\d+) points?|its pentagon is at a pole)",
                         text, re.M)
    test.assertEqual([c for c, _ in circles], [label(c) for c in range(10)])
    for c, (_, n) in enumerate(circles):
        test.assertEqual(n != "", live[c])
        if live[c]:
            test.assertEqual(int(n), sum(c in q["circles"] for q in points))


class Drawing(unittest.TestCase):
    def test_the_scenes_drawing_renders_in_its_colours(self):
        text = report_text("--format", "svg")
        colours = check_clean_svg(self, read_svg(text))
        self.assertRegex(text, "LAT1 0.9753179[56]")
        self.assertGreaterEqual(text.count("<polyline"), 10)
        w, h, bpp, rows = rendered(self, text)
        self.assertEqual((w, h), (1000, 600))
        for colour in colours:
            # The plot area holds the curves; the legend, right of it, the swatches.
            want = tuple(int(colour[k:k + 2], 16) for k in (1, 3, 5))

            def count(x0, x1):
                return sum(1 for row in rows for x in range(x0, x1)
                           if sum(abs(row[x * bpp + k] - want[k]) for k in range(3)) <= 40)
            self.assertGreaterEqual(count(80, 700), 500, colour + " in the plot")
            self.assertGreaterEqual(count(720, 1000), 200, colour + " in the legend")

    def test_marks_are_where_the_json_puts_them(self):
        for values in ("0.97531795 0.1 0.630991 0.1", "0.3 0.1 0.99 0.1", "0.9955 0.2 0.5 0.1",
                       "1 0.3 0.5 0.1", "-1 0 0.5 0", "0 0.4 -0.2 -2"):
            with self.subTest(values=values):
                doc = report_json("--format", "json", *values.split())
                plain = read_svg(report_text("--format", "svg", *values.split()))
                marked = read_svg(report_text("--format", "svg", "--intersections",
                                              *values.split()))
                labels = check_marks(self, plain, doc)
                check_marks(self, marked, doc)
                check_clean_svg(self, marked)
                # The scene's ten curves all peak inside the plot: each is named.
                if values.split() == SCENE:
                    self.assertEqual(labels, 10)

    def test_degenerate_values_still_draw_cleanly(self):
        # Poles (0/0), nearly collapsed pentagons (heights in the millions),
        # the equator, and longitudes far outside one turn.
        for values in ("1 0.3 0.630991 0.1", "0.99999994 0.2 -1 0.1", "0 0 0 0", "1 0 1 0",
                       "-0.3 1e6 0.5 -7", "-1 0 0.5 0"):
            with self.subTest(values=values):
                text = report_text("--format", "svg", *values.split())
                check_clean_svg(self, read_svg(text))
                rendered(self, text)
        steep = ["0.99999994", "0.2", "0.5", "0.1"]
        self.assertIn("not shown", report_text("--format", "svg", *steep))
        self.assertIn("at a pole", report_text("--format", "svg", "1", "0.3", "0.5", "0.1"))


def rendered(test, svg):
    """The drawing as rsvg-convert renders it: width, height, bytes per pixel, rows."""
    with tempfile.TemporaryDirectory() as folder:
        source, png = os.path.join(folder, "d.svg"), os.path.join(folder, "d.png")
        with open(source, "w") as f:
            f.write(svg)
        run = subprocess.run(["rsvg-convert", source, "-o", png], capture_output=True)
        test.assertEqual(run.returncode, 0, run.stderr)
        return read_png(png)


def check_clean_svg(test, root):
    """Every attribute finite, every polyline point on the page, the legend's
    texts there; returns the two pentagons' colours from the legend."""
    width, height = float(root.get("width")), float(root.get("height"))
    for el in root.iter():
        for name, value in el.attrib.items():
            test.assertIsNone(re.search(r"nan|inf", value, re.I), "%s=%r" % (name, value))
        if el.tag == SVG + "polyline":
            for pair in el.get("points").split():
                x, y = map(float, pair.split(","))
                test.assertTrue(0 <= x <= width and 0 <= y <= height, "off the page: " + pair)
    words = " ".join(texts(root))
    for want in ("Pentagon 1", "Pentagon 2", "LAT1", "degrees"):
        test.assertIn(want, words)
    colours = [r.get("fill") for r in root.iter(SVG + "rect") if r.get("width") == "28"]
    test.assertTrue(len(colours) == 2 and colours[0] != colours[1], colours)
    return colours


class plotScale:
    """The plot's scales, read from its frame and its axes' labels."""

    def __init__(self, root):
        frame = [r for r in root.iter(SVG + "rect") if r.get("stroke") == "#444444"][0]
        self.left, self.top = float(frame.get("x")), float(frame.get("y"))
        self.right = self.left + float(frame.get("width"))
        self.bottom = self.top + float(frame.get("height"))
        degrees = [(float(t.get("x")), float(t.text[:-1])) for t in root.iter(SVG + "text")
                   if t.text and re.fullmatch(r"\d+°", t.text)]
        ticks = sorted((float(t.text), float(t.get("y")) - 4) for t in root.iter(SVG + "text")
                       if t.get("text-anchor") == "end" and t.text and
                       re.fullmatch(r"-?[\d.]+", t.text))
        (self.x0, self.a0), (self.x1, self.a1) = degrees[0], degrees[-1]
        (self.h0, self.y0), (self.h1, self.y1) = ticks[0], ticks[-1]
        self.half = self.h1

    def x(self, angle):
        return self.x0 + (angle - self.a0) * (self.x1 - self.x0) / (self.a1 - self.a0)

    def y(self, height):
        return self.y0 + (height - self.h0) * (self.y1 - self.y0) / (self.h1 - self.h0)

    def inside(self, cx, cy):
        return self.left <= cx <= self.right and self.top <= cy <= self.bottom


def around(x, z):
    return math.degrees(math.atan2(x, z)) % 360


def check_marks(test, root, doc):
    """What the drawing shows, against the JSON's numbers: the height scale
    holds both pentagons' curves (or says what it cuts), every curve point lies
    on one of its pentagon's curves, each corner seen from the centre is marked
    where its ray meets the cylinder (when that is in range) and nowhere else,
    each equator crossing at its own angle, every mark inside the plot, the
    pole label under exactly the pentagons without curves, each edge's label
    above its curve's top, and with --intersections every intersection in
    range. Returns how many curves are named."""
    scale = plotScale(root)
    clipped = any("not shown" in t for t in texts(root))
    labels = 0
    for p, pent in enumerate(doc["pentagons"]):
        cls = "p%d" % (p + 1)
        heights = [c[1] for e in pent["edges"] for c in e["cylinderCurve"] if c[1] is not None]
        if heights and not clipped:
            test.assertLessEqual(max(map(abs, heights)), scale.half * (1 + 1e-6), cls)
        test.assertEqual(bool(classed(root, "text", "pole " + cls)), not heights, cls)
        check_curve_points(test, root, scale, pent, cls)
        check_corner_and_crossing_marks(test, root, scale, pent, cls)
        labels += check_edge_labels(test, root, scale, pent, p)
    check_intersection_marks(test, root, scale, doc)
    return labels


def check_curve_points(test, root, scale, pent, cls):
    """Curve points at sample angles (not clip points) lie on a sampled curve."""
    samples = {}
    for e in pent["edges"]:
        for j, c in enumerate(e["cylinderCurve"]):
            if c[1] is not None:
                samples.setdefault(j, []).append(c[1])
    for g in classed(root, "g", "curves " + cls):
        for line in g.iter(SVG + "polyline"):
            for pair in line.get("points").split():
                x, y = map(float, pair.split(","))
                j = (x - scale.x0) / (scale.x1 - scale.x0) * 100
                if abs(j - round(j)) > 0.01 or abs(scale.y(0) - y) > (scale.y0 - scale.y1) * 0.499:
                    continue
                test.assertTrue(any(abs(scale.y(h) - y) < 0.02
                                    for h in samples.get(round(j) % 100, [])),
                                "%s curve point %s is on none of its curves" % (cls, pair))


def check_corner_and_crossing_marks(test, root, scale, pent, cls):
    want = []
    for c in pent["corners"]:
        x, h, z = c["point"]
        r = math.hypot(x, z)
        if r > 1e-6 and abs(h / r) <= scale.half:
            want.append((scale.x(around(x, z)), scale.y(h / r)))
    corners = [(float(m.get("cx")), float(m.get("cy")))
               for m in classed(root, "circle", "corner " + cls)]
    test.assertEqual(len(corners), len(want), cls + "'s corner marks")
    for w in want:
        test.assertTrue(any(math.dist(w, h) < 0.05 for h in corners), "%s corner %r" % (cls, w))
    want = [scale.x(around(q[0], q[2])) for e in pent["edges"] if not e["normalWasZero"]
            for q in e["equatorCrossings"] if math.hypot(q[0], q[2]) > 1e-6]
    crossings = []
    for m in classed(root, "path", "crossing " + cls):
        numbers = list(map(float, re.findall(r"-?[\d.]+", m.get("d"))))
        crossings.append((numbers[0], numbers[3]))  # M cx,cy-r L cx+r,cy
    test.assertEqual(len(crossings), len(want), cls + "'s crossing marks")
    for w in want:
        test.assertTrue(any(abs(w - h[0]) < 0.05 and abs(scale.y(0) - h[1]) < 0.05
                            for h in crossings), "%s crossing at x %g" % (cls, w))
    for cx, cy in corners + crossings:
        test.assertTrue(scale.inside(cx, cy), cls + ": a mark off the plot")


def check_edge_labels(test, root, scale, pent, p):
    """Each edge's label, p.i, sits 6 pixels above its curve's highest sample."""
    colour = [r.get("fill") for r in root.iter(SVG + "rect") if r.get("width") == "28"][p]
    named = [t for g in root.iter(SVG + "g") if g.get("fill") == colour and
             g.get("font-size") == "11" for t in g.iter(SVG + "text")]
    for t in named:
        test.assertRegex(t.text or "", r"^%d\.[0-4]$" % (p + 1))
        curve = [c[1] for c in pent["edges"][int(t.text[2])]["cylinderCurve"]]
        best = max(h for h in curve if h is not None)
        test.assertTrue(any(h is not None and h >= best - 1e-9 and
                            abs(scale.x(j * 3.6) - float(t.get("x"))) < 0.05 and
                            abs(scale.y(h) - 6 - float(t.get("y"))) < 0.05
                            for j, h in enumerate(curve)), "label " + t.text)
    return len(named)


def check_intersection_marks(test, root, scale, doc):
    """With --intersections, every intersection's image in the heights shown
    is marked where its ray meets the cylinder, and the legend counts the others."""
    marks = [(float(m.get("cx")), float(m.get("cy")))
             for m in classed(root, "circle", "intersection")]
    if not classed(root, "g", "intersections"):
        test.assertEqual(marks, [], "intersections marked without --intersections")
        return
    want = [(scale.x(around(c[0], c[2])), scale.y(c[1]))
            for c in (q["cylinder"] for q in doc["intersections"])
            if c is not None and abs(c[1]) <= scale.half]
    test.assertEqual(len(marks), len(want))
    for w in want:
        test.assertTrue(any(math.dist(w, m) < 0.05 for m in marks), "no mark at %r" % (w,))
    count = len(doc["intersections"])
    test.assertIn("intersection of circles (%d)" % count, texts(root))
    hidden = ["".join(t.itertext()) for t in classed(root, "text", "hidden-intersections")]
    test.assertEqual(bool(hidden), count > len(want))
    if hidden:
        test.assertTrue(hidden[0].startswith("%d " % (count - len(want))), hidden)


class CommandLine(unittest.TestCase):
    def test_help_and_the_forms_of_a_command_line(self):
        run = subprocess.run([TOOL, "--help"], capture_output=True)
        self.assertEqual((run.returncode, run.stderr), (0, b""))
        self.assertTrue(run.stdout.startswith(b"usage: geodesic-report"))
        report("-0.5", "-1", ".3", "-.2")  # negative numbers are numbers
        report_json("--format=json", "0.5", "1", "0.3", "2")
        report("-1", "0", "1", "0")  # heights of exactly -1 and 1 are on the sphere

    # Each bad command line: status 2, nothing on stdout, one line naming the
    # problem and the usage line on stderr.
    REFUSED = [
        ("got 3", ["1", "2", "3"]),
        ("got 5", ["1", "2", "3", "4", "5"]),
        ("got 1", ["--format", "json", "0.5"]),
        ("LAT1 'abc' is not a number", ["abc", "0", "0", "0"]),
        ("LONG1 'nan' is not a finite number", ["0", "nan", "0", "0"]),
        ("LONG1 '-nan' is not a finite number", ["0", "-nan", "0", "0"]),
        ("LAT2 'inf' is not a finite number", ["0", "0", "inf", "0"]),
        ("LONG2 '-Infinity' is not a finite number", ["0", "0", "0", "-Infinity"]),
        ("LONG1 '1e39' is too large for single precision", ["0", "1e39", "0", "0"]),
        ("LONG2 '1e308' is too large for single precision", ["0", "0", "0", "1e308"]),
        ("LAT1 '0.5x' is not a number", ["0.5x", "0", "0", "0"]),
        ("LAT1 '' is not a number", ["", "0", "0", "0"]),
        ("LAT1 ' 1' is not a number", [" 1", "0", "0", "0"]),
        # Heights are those of points on the unit sphere.
        ("LAT1 '2' is outside -1 to 1", ["2", "0", "0.5", "0"]),
        ("LAT2 '-5' is outside -1 to 1", ["0.5", "0", "-5", "0"]),
        ("LAT1 '-1.0000001' is outside -1 to 1", ["-1.0000001", "0", "0.5", "0"]),
        # Quoted arguments stay on one short line: control characters escaped,
        # long words cut.
        ("LAT1 '1\\n2' is not a number", ["1\n2", "0", "0", "0"]),
        ("LONG1 '77777777777777777777777777777777...' (100000 characters) is too large",
         ["0", "7" * 100000, "0", "0"]),
        ("unknown option '--\\x1b[31m'", ["--\x1b[31m"]),
        ("missing value", ["--format"]),
        ("missing value", ["--format="]),
        ("'xml'", ["--format", "xml"]),
        ("'--bogus'", ["--bogus"]),
        ("'-x'", ["-x", "0", "0", "0", "0"]),
    ]

    def test_bad_command_lines_are_refused_in_one_line(self):
        for problem, args in self.REFUSED:
            with self.subTest(args=args[:5]):
                line = usage_error(*args)
                self.assertIn(problem, line)
                self.assertLess(len(line), 200)

    def test_output_lost_is_a_failure(self):
        # --help's text too, as every other output's; a closed standard output
        # and a full device alike.
        closed = {"preexec_fn": lambda: os.close(1)}
        for args in (["--help"], ["--format", "json"]):
            run = subprocess.run([TOOL] + args, stderr=subprocess.DEVNULL, **closed)
            self.assertEqual(run.returncode, 1, "%r into a closed stdout" % args)
            if os.access("/dev/full", os.W_OK):
                with open("/dev/full", "w") as full:
                    run = subprocess.run([TOOL] + args, stdout=full, stderr=subprocess.DEVNULL)
                self.assertEqual(run.returncode, 1, "%r into /dev/full" % args)


if __name__ == "__main__":
    unittest.main()
