# geodesic-report: the text report as the library prints it, the JSON document
# read back by a real parser and checked against the text and the geometry,
# the SVG parsed as XML and rendered to PNG, and every command-line error path.
set -euo pipefail

tool="$BUILD_DIR/tools/geodesic-report"
[ -x "$tool" ] || { echo "FAIL: $tool not built" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$SOURCE_DIR/tests/script_env.sh" # expect_usage_error

scene=(0.97531795 0.1 0.630991 0.1)

# --- text ---------------------------------------------------------------------
"$tool" > "$tmp/default.txt"
"$tool" --format text "${scene[@]}" > "$tmp/scene.txt"
cmp -s "$tmp/default.txt" "$tmp/scene.txt" || fail "default text differs from the scene's arguments"
grep -qF $' xcoord 0 = 0.219702\t ycoord 0 = 0.975318\t zcoord 0 = 0.0220437\t' "$tmp/scene.txt" \
    || fail "text report lacks the scene's first corner"
grep -qF $' lon 4 = 1.15664\t lat 4 = 0.22264\t' "$tmp/scene.txt" || fail "text report lacks section 7"
[ "$(tail -c 1 "$tmp/scene.txt" | od -An -c | tr -d ' ')" = '\n' ] || fail "text report must end with a newline"

# --- JSON ---------------------------------------------------------------------
"$tool" --format json > "$tmp/scene.json"
python3 - "$tmp/scene.json" "$tmp/scene.txt" <<'PY'
import json, math, re, sys

def strict(name):
    raise ValueError("non-standard JSON constant " + name)

doc = json.load(open(sys.argv[1]), parse_constant=strict)
text = open(sys.argv[2]).read()

def check(cond, what):
    if not cond:
        sys.exit("FAIL: " + what)

args = doc["arguments"]
check([args[k] for k in ("pent_lat1", "pent_long1", "pent_lat2", "pent_long2")] ==
      [0.975317955, 0.100000001, 0.630990982, 0.100000001], "arguments %r" % args)
check(doc["samplesPerCurve"] == 100 and len(doc["sampleAngles"]) == 100, "sample count")
for j, a in enumerate(doc["sampleAngles"]):
    check(abs(a - 2 * j * math.pi / 100) < 1e-6, "sample angle %d" % j)

# Single precision on the unit sphere: about 1e-7 per coordinate; 1e-5 leaves
# room for the rounding of the basis vectors.
TOL = 1e-5
def dot(a, b): return sum(x * y for x, y in zip(a, b))

pents = doc["pentagons"]
check(len(pents) == 2, "two pentagons")
circles = 0
for p in pents:
    check(len(p["corners"]) == 5 and len(p["edges"]) == 5, "five corners and edges")
    for c in p["corners"]:
        check(abs(dot(c["point"], c["point"]) - 1) < TOL, "corner on the sphere")
    for i, e in enumerate(p["edges"]):
        check(e["normalWasZero"] is False, "scene normals are not zero")
        n, u = e["normal"], e["unitNormal"]
        for k in (i, (i + 1) % 5):
            check(abs(dot(n, p["corners"][k]["point"])) < 1e-6, "normal perpendicular to corner")
        for q in e["equatorCrossings"]:
            check(abs(q[1]) < 1e-6 and abs(dot(q, q) - 1) < TOL and abs(dot(u, q)) < TOL,
                  "equator crossing")
        check(len(e["greatCircle"]) == 100 and len(e["cylinderCurve"]) == 100, "100 samples")
        for g in e["greatCircle"]:
            check(abs(dot(g, g) - 1) < TOL and abs(dot(u, g)) < TOL, "great-circle sample")
        for c in e["cylinderCurve"]:
            check(abs(c[0] ** 2 + c[2] ** 2 - 1) < 1e-6, "cylinder sample on x^2 + z^2 = 1")
            check(abs(dot(n, c)) < 1e-6 * sum(abs(a * b) for a, b in zip(n, c)),
                  "cylinder sample in its plane")
        circles += 1
check(circles == 10, "ten great circles")
check(pents[0]["edges"][0]["greatCircle"][0] == pents[0]["corners"][0]["point"],
      "a great circle starts at its corner")

def near(v, want): return abs(v - want) <= 1e-5 * abs(want)
e1, e2 = pents[0]["edges"][0], pents[1]["edges"][0]
for e in (e1, e2):
    q = e["equatorCrossings"][0]
    check(near(q[0], 0.665616) and near(q[2], -0.746295), "edge 0 crossing %r" % q)
    check(e["equatorCrossings"][1] == [-q[0], -q[1], -q[2]], "second crossing is the negation")
check(near(e1["cylinderCurve"][0][1], 3.63415) and near(e1["cylinderCurve"][25][1], 4.07465),
      "pentagon 1 cylinder heights")
check(near(e2["cylinderCurve"][0][1], 0.669183) and near(e2["cylinderCurve"][25][1], 0.750294),
      "pentagon 2 cylinder heights")

# The same numbers as the text report: six significant digits of each float.
def g(v): return "%g" % v
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
    check(len(coords) == len(crosses) == len(lons) == 5, "text sections parsed")
    for i in range(5):
        check(list(coords[i][1:]) == [g(v) for v in p["corners"][i]["point"]], "corner %d" % i)
        check(list(crosses[i][1:]) == [g(v) for v in p["edges"][i]["normal"]], "normal %d" % i)
        check(list(lons[i][1:]) == [g(p["corners"][i]["reportLongitude"]), g(p["reportLatitude"])],
              "spherical %d" % i)
PY

# A pentagon at either pole: its corners coincide with the pole in single
# precision (at -1, sin(phi) is about 9e-8, not 0), so it is collapsed: zero
# normals flagged, null heights, the label in the drawing; the figure's
# message never reaches the output. The text report stays as computed.
for pole in 1 -1; do
    "$tool" --format json "$pole" 0.3 0.630991 0.1 > "$tmp/pole.json"
    grep -q "division" "$tmp/pole.json" && fail "zero normals must be flagged, not reported as text"
    "$tool" "$pole" 0.3 0.630991 0.1 > "$tmp/pole.txt"
    python3 - "$tmp/pole.json" "$tmp/pole.txt" "$pole" <<'PY'
import json, re, sys
def strict(name): raise ValueError("non-standard JSON constant " + name)
doc = json.load(open(sys.argv[1]), parse_constant=strict)
text, pole = open(sys.argv[2]).read(), float(sys.argv[3])
p1, p2 = doc["pentagons"]
if not p1["collapsed"] or p2["collapsed"]: sys.exit("FAIL: collapsed flags at %g" % pole)
if not all(e["normalWasZero"] for e in p1["edges"]): sys.exit("FAIL: pole normals not flagged")
if any(e["normalWasZero"] for e in p2["edges"]): sys.exit("FAIL: pentagon 2 flagged")
if any(c[1] is not None for e in p1["edges"] for c in e["cylinderCurve"]):
    sys.exit("FAIL: heights at the pole %g should be null" % pole)
if any(e["normal"] != [0, 0, 0] for e in p1["edges"]): sys.exit("FAIL: pole normals not zero")
if any(c["point"] != [0, pole, 0] for c in p1["corners"]): sys.exit("FAIL: corners not at the pole")
# The report's longitudes are the text report's, from the corners as computed.
lons = re.findall(r" lon \d = (\S+)\t", text)[:5]
if lons != ["%g" % c["reportLongitude"] for c in p1["corners"]]: sys.exit("FAIL: %r" % lons)
PY
    "$tool" --format svg "$pole" 0.3 0.630991 0.1 | grep -q 'class="pole p1"' \
        || fail "the drawing does not say pentagon 1 is at the pole $pole"
done

# A pentagon on the equator: each edge's crossing is its own corner.
"$tool" --format json 0 0.4 0 -2 > "$tmp/equator.json"
python3 - "$tmp/equator.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
for p in doc["pentagons"]:
    for i, e in enumerate(p["edges"]):
        if e["equatorCrossings"][0] != p["corners"][i]["point"]:
            sys.exit("FAIL: equator crossing of edge %d is not its corner" % i)
PY

# --- intersections -----------------------------------------------------------
# The JSON's intersections and arcs against its own pentagons, and the
# --intersections text against the JSON, number for number: for the scene, a
# pentagon at a pole, the same pentagon twice, a pentagon on the equator, the
# steepest curves, mirror images (points a rounding off the equator, never
# "-0.000000000"), and with no points at all. Each set's counts: points, arcs,
# coincident pairs.
check_intersections() {
    python3 - "$@" <<'PY'
import json, math, re, sys
def strict(name): raise ValueError("non-standard JSON constant " + name)
doc = json.load(open(sys.argv[1]), parse_constant=strict)
text = open(sys.argv[2]).read()
want = tuple(map(int, sys.argv[3:6]))
def fail(what): sys.exit("FAIL: %s (%s)" % (what, " ".join(sys.argv[6:])))
def dot(a, b): return sum(x * y for x, y in zip(a, b))
def label(c): return "%d.%d" % (c // 5 + 1, c % 5)

points, arcs, pairs = doc["intersections"], doc["arcs"], doc["coincidentCircles"]
if (len(points), len(arcs), len(pairs)) != want:
    fail("%d points, %d arcs, %d coincident pairs; expected %r" % (len(points), len(arcs), len(pairs), want))
normals = [e["unitNormal"] for p in doc["pentagons"] for e in p["edges"]]
live = [not p["collapsed"] for p in doc["pentagons"] for _ in range(5)]
for k, q in enumerate(points):
    s = q["sphere"]
    if abs(dot(s, s) - 1) > 1e-12: fail("point %d is off the sphere" % k)
    if q["circles"] != sorted(set(q["circles"])) or len(q["circles"]) < 2: fail("circles of %d" % k)
    for c in q["circles"]:
        if not live[c] or abs(dot(normals[c], s)) > 1e-6: fail("point %d is not on circle %d" % (k, c))
    r = math.hypot(s[0], s[2])
    if q["cylinder"] is None:
        if r > 1e-9: fail("point %d has no image" % k)
    elif max(abs(a - b / r) for a, b in zip(q["cylinder"], s)) > 1e-12 * (1 + abs(s[1] / r)):
        fail("point %d: the image is not the point / sqrt(x^2 + z^2)" % k)
    if q["equatorCrossing"] != (abs(s[1]) < 1e-6): fail("equator flag of %d" % k)
    for corner in q["corners"]:
        point = doc["pentagons"][corner // 5]["corners"][corner % 5]["point"]
        if math.dist(s, point) > 1e-6: fail("point %d is not corner %s" % (k, label(corner)))
# Every live circle: its arcs in a row, one per point on it, adding up to 2 pi.
for c in range(10):
    mine = [a for a in arcs if a["circle"] == c]
    on = [k for k, q in enumerate(points) if c in q["circles"]]
    if len(mine) != len(on) or sorted(a["from"] for a in mine) != on: fail("arcs of circle %d" % c)
    for a, b in zip(mine, mine[1:] + mine[:1]):
        if a["to"] != b["from"]: fail("circle %d's arcs do not follow each other" % c)
        chord = math.dist(points[a["from"]]["sphere"], points[a["to"]]["sphere"])
        if abs(a["chord"] - chord) > 1e-15 or not 0 < a["angle"] < 2 * math.pi: fail("arc %r" % a)
        if a["cylinderLength"] is None or a["cylinderLength"] < a["angle"] * abs(normals[c][1]) * (1 - 1e-12):
            fail("cylinder length of %r" % a)
    if mine and abs(sum(a["angle"] for a in mine) - 2 * math.pi) > 1e-12: fail("circle %d's angles" % c)
for a, b in pairs:
    if not a < b or math.dist(normals[a], normals[b]) > 1e-6 and math.dist(normals[a], [-x for x in normals[b]]) > 1e-6:
        fail("coincident pair %r" % [a, b])

# The text: the same points and arcs, to its nine decimals.
if re.search(r"nan|inf", text, re.I): fail("a non-finite number in the text")
def nine(v): return "%.9f" % v if "%.9f" % v != "-0.000000000" else "0.000000000"
rows = re.findall(r"^ *(\d+)  ((?:[12]\.[0-4] ?)+?) +(-?[\d.]+) +(-?[\d.]+) +(-?[\d.]+) +(\S+) +(\S+) +(\S+)(.*)$",
                  text, re.M)
if len(rows) != len(points) or not text.startswith("Intersections of the great circles"):
    fail("%d rows for %d points" % (len(rows), len(points)))
for (k, circles, *numbers, notes), q in zip(rows, points):
    image = q["cylinder"] or [None] * 3
    if circles.split() != [label(c) for c in q["circles"]] or \
            numbers != [nine(v) for v in q["sphere"]] + [nine(v) if v is not None else "none" for v in image]:
        fail("row %s is not point %s" % (k, k))
    if ("corner" in notes) != bool(q["corners"]) or ("equator" in notes) != q["equatorCrossing"]:
        fail("notes of row %s" % k)
    for corner in q["corners"]:
        if label(corner) not in notes: fail("row %s does not name corner %s" % (k, label(corner)))
arcRows = re.findall(r"^ *(\d+) +(\d+) +(\d+) +([\d.]+) +([\d.]+) +(\S+)$", text, re.M)
if [tuple(map(int, r[:3])) for r in arcRows] != [(k, a["from"], a["to"]) for k, a in enumerate(arcs)]:
    fail("the text's arcs are not the JSON's")
for r, a in zip(arcRows, arcs):
    if list(r[3:]) != [nine(a["angle"]), nine(a["chord"]),
                       nine(a["cylinderLength"]) if a["cylinderLength"] is not None else "none"]:
        fail("arc %s's lengths" % r[0])
# The totals: the angles make a whole turn, the cylinder lengths the whole curve.
for angle, cylinder, curve in re.findall(r"^total +(\S+) +\S+ +(\S+)\nthe whole circle +\S+ +(\S+)$", text, re.M):
    if angle != "6.283185307" or abs(float(cylinder) - float(curve)) > 2e-9 * float(curve):
        fail("totals %s %s %s" % (angle, cylinder, curve))
circles = re.findall(r"^Circle ([12]\.[0-4]), .*: (?:(\d+) points?|its pentagon is at a pole)", text, re.M)
if [c for c, _ in circles] != [label(c) for c in range(10)]: fail("the text's circles")
for c, (_, n) in enumerate(circles):
    if (n != "") != live[c] or live[c] and int(n) != sum(c in q["circles"] for q in points):
        fail("circle %s's count of points" % label(c))
PY
}
#               four values               points arcs coincident
while read -r lat1 long1 lat2 long2 points arcs pairs; do
    "$tool" --format json "$lat1" "$long1" "$lat2" "$long2" > "$tmp/i.json" || fail "json for $lat1"
    "$tool" --intersections "$lat1" "$long1" "$lat2" "$long2" > "$tmp/i.txt" || fail "text for $lat1"
    check_intersections "$tmp/i.json" "$tmp/i.txt" "$points" "$arcs" "$pairs" "$lat1" "$long1" "$lat2" "$long2"
done <<'SETS'
0.97531795 0.1 0.630991 0.1   90 180  0
1 0.3 0.630991 0.1            20  40  0
0.5 0.3 0.5 0.3               20  80  5
0 0.3 0.630991 0.1            30 100 10
0.99999994 0.2 -0.99999994 0.1 90 180 0
0.7 0 -0.7 0                  90 180  0
1 0 -1 0                       0   0  0
0 0 0 0.5                      0   0 45
SETS
# Only what was asked for: the table alone, and the value report without it.
"$tool" --intersections | grep -q "First pentagon coordinates" && fail "--intersections prints the value report"
grep -q "Intersections" "$tmp/scene.txt" && fail "the value report shows the intersections"

# --- SVG ----------------------------------------------------------------------
# Parses the drawing, checks that every attribute is finite and every drawn
# coordinate on the page, and returns the pentagon colours from the legend.
check_svg() {
    python3 - "$1" <<'PY'
import math, re, sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
NS = "{http://www.w3.org/2000/svg}"
if root.tag != NS + "svg": sys.exit("FAIL: root is %s" % root.tag)
W, H = float(root.get("width")), float(root.get("height"))
for el in root.iter():
    for name, value in el.attrib.items():
        if re.search(r"nan|inf", value, re.I): sys.exit("FAIL: %s=%r" % (name, value))
    if el.tag == NS + "polyline":
        for pair in el.get("points").split():
            x, y = map(float, pair.split(","))
            if not (0 <= x <= W and 0 <= y <= H): sys.exit("FAIL: point off the page: " + pair)
texts = " ".join("".join(t.itertext()) for t in root.iter(NS + "text"))
for want in ("Pentagon 1", "Pentagon 2", "LAT1", "degrees"):
    if want not in texts: sys.exit("FAIL: no %r in the drawing's text" % want)
colours = [r.get("fill") for r in root.iter(NS + "rect") if r.get("width") == "28"]
if len(colours) != 2 or colours[0] == colours[1]: sys.exit("FAIL: legend colours %r" % colours)
print(" ".join(colours))
PY
}

"$tool" --format svg > "$tmp/scene.svg"
colours=$(check_svg "$tmp/scene.svg")
grep -q "LAT1 0.9753179[56]" "$tmp/scene.svg" || fail "title lacks the arguments"
[ "$(grep -c '<polyline' "$tmp/scene.svg")" -ge 10 ] || fail "fewer polylines than curves"
rsvg-convert "$tmp/scene.svg" -o "$tmp/scene.png" || fail "rsvg-convert could not render the drawing"
python3 - "$tmp/scene.png" $colours <<'PY'
import os, sys
sys.path.insert(0, os.path.join(os.environ["SOURCE_DIR"], "tests", "harness"))
from png_rows import read_png
w, h, bpp, rows = read_png(sys.argv[1])
if (w, h) != (1000, 600): sys.exit("FAIL: PNG is %dx%d" % (w, h))
def count(colour, x0, x1):
    want = tuple(int(colour[k:k + 2], 16) for k in (1, 3, 5))
    n = 0
    for y in range(h):
        row = rows[y]
        for x in range(x0, x1):
            px = row[x * bpp:x * bpp + 3]
            if sum(abs(px[k] - want[k]) for k in range(3)) <= 40: n += 1
    return n
for colour in sys.argv[2:]:
    # The plot area holds the curves; the legend, right of it, the swatches.
    plot, legend = count(colour, 80, 700), count(colour, 720, 1000)
    if plot < 500: sys.exit("FAIL: %s: only %d pixels in the plot" % (colour, plot))
    if legend < 200: sys.exit("FAIL: %s: only %d pixels in the legend" % (colour, legend))
PY

# What the drawing shows, against the JSON's numbers: the height scale holds
# both pentagons' curves (or says what it cuts), every curve point lies on one
# of its pentagon's curves, each corner seen from the centre is marked where
# its ray meets the cylinder (when that is in range) and nowhere else, each
# equator crossing at its own angle, every mark inside the plot, and the pole
# label under exactly the pentagons without curves. The axes' labels give the
# plot's scales.
check_svg_marks() {
    python3 - "$@" <<'PY'
import json, math, re, sys
import xml.etree.ElementTree as ET
NS = "{http://www.w3.org/2000/svg}"
root, doc = ET.parse(sys.argv[1]).getroot(), json.load(open(sys.argv[2]))
def fail(what): sys.exit("FAIL: %s (%s)" % (what, " ".join(sys.argv[3:])))
def classed(tag, cls): return [e for e in root.iter(NS + tag) if e.get("class") == cls]

frame = [r for r in root.iter(NS + "rect") if r.get("stroke") == "#444444"][0]
left, top = float(frame.get("x")), float(frame.get("y"))
right, bottom = left + float(frame.get("width")), top + float(frame.get("height"))
degrees = [(float(t.get("x")), float(t.text[:-1])) for t in root.iter(NS + "text")
           if t.text and re.fullmatch(r"\d+°", t.text)]
ticks = sorted((float(t.text), float(t.get("y")) - 4) for t in root.iter(NS + "text")
               if t.get("text-anchor") == "end" and t.text and re.fullmatch(r"-?[\d.]+", t.text))
(a0, x0), (a1, x1) = (degrees[0][1], degrees[0][0]), (degrees[-1][1], degrees[-1][0])
(h0, y0), (h1, y1) = ticks[0], ticks[-1]
half = h1
def X(angle): return x0 + (angle - a0) * (x1 - x0) / (a1 - a0)
def Y(height): return y0 + (height - h0) * (y1 - y0) / (h1 - h0)
def around(x, z): return math.degrees(math.atan2(x, z)) % 360
clipped = any("not shown" in "".join(t.itertext()) for t in root.iter(NS + "text"))
labels = []

for p, pent in enumerate(doc["pentagons"]):
    cls = "p%d" % (p + 1)
    heights = [c[1] for e in pent["edges"] for c in e["cylinderCurve"] if c[1] is not None]
    if heights and max(map(abs, heights)) > half * (1 + 1e-6) and not clipped:
        fail("%s's curves reach %g, beyond the scale's %g" % (cls, max(map(abs, heights)), half))
    if bool(classed("text", "pole " + cls)) != (not heights):
        fail("pole label of %s" % cls)
    # Curve points at sample angles (not clip points) lie on a sampled curve.
    samples = {}
    for e in pent["edges"]:
        for j, c in enumerate(e["cylinderCurve"]):
            if c[1] is not None: samples.setdefault(j, []).append(c[1])
    for g in classed("g", "curves " + cls):
        for line in g.iter(NS + "polyline"):
            for pair in line.get("points").split():
                x, y = map(float, pair.split(","))
                j = (x - x0) / (x1 - x0) * 100
                if abs(j - round(j)) > 0.01 or abs(Y(0) - y) > (y0 - y1) * 0.499: continue
                if not any(abs(Y(h) - y) < 0.02 for h in samples.get(round(j) % 100, [])):
                    fail("%s curve point %s is on none of its curves" % (cls, pair))
    want = []
    for c in pent["corners"]:
        x, h, z = c["point"]
        r = math.hypot(x, z)
        if r > 1e-6 and abs(h / r) <= half: want.append((X(around(x, z)), Y(h / r)))
    have = [(float(m.get("cx")), float(m.get("cy"))) for m in classed("circle", "corner " + cls)]
    if len(have) != len(want): fail("%s: %d corner marks, expected %d" % (cls, len(have), len(want)))
    for w in want:
        if not any(math.hypot(w[0] - h[0], w[1] - h[1]) < 0.05 for h in have):
            fail("%s: no corner mark at %r" % (cls, w))
    want = [X(around(q[0], q[2])) for e in pent["edges"] if not e["normalWasZero"]
            for q in e["equatorCrossings"] if math.hypot(q[0], q[2]) > 1e-6]
    have = []
    for m in classed("path", "crossing " + cls):
        nums = list(map(float, re.findall(r"-?[\d.]+", m.get("d"))))
        have.append((nums[0], nums[3])) # M cx,cy-r L cx+r,cy
    if len(have) != len(want): fail("%s: %d crossing marks, expected %d" % (cls, len(have), len(want)))
    for w in want:
        if not any(abs(w - h[0]) < 0.05 and abs(Y(0) - h[1]) < 0.05 for h in have):
            fail("%s: no crossing mark at x %g" % (cls, w))
    for cx, cy in [(float(m.get("cx")), float(m.get("cy"))) for m in classed("circle", "corner " + cls)] + have:
        if not (left <= cx <= right and top <= cy <= bottom): fail("%s: mark off the plot" % cls)

    # Each edge's label, p.i, sits 6 pixels above its curve's highest sample.
    colour = [r.get("fill") for r in root.iter(NS + "rect") if r.get("width") == "28"][p]
    named = [t for g in root.iter(NS + "g") if g.get("fill") == colour and g.get("font-size") == "11"
             for t in g.iter(NS + "text")]
    for t in named:
        if not re.fullmatch(r"%d\.[0-4]" % (p + 1), t.text or ""): fail("label %r" % t.text)
        curve = [c[1] for c in pent["edges"][int(t.text[2])]["cylinderCurve"]]
        best = max(h for h in curve if h is not None)
        if not any(h is not None and h >= best - 1e-9 and abs(X(j * 3.6) - float(t.get("x"))) < 0.05
                   and abs(Y(h) - 6 - float(t.get("y"))) < 0.05 for j, h in enumerate(curve)):
            fail("label %s is not above its curve's top" % t.text)
        labels.append(t.text)

# With --intersections, every intersection's image in the heights shown is
# marked where its ray meets the cylinder, and the legend counts the others.
marks = [(float(m.get("cx")), float(m.get("cy"))) for m in classed("circle", "intersection")]
if classed("g", "intersections"):
    want = [(X(around(c[0], c[2])), Y(c[1])) for c in (q["cylinder"] for q in doc["intersections"])
            if c is not None and abs(c[1]) <= half]
    if len(marks) != len(want): fail("%d intersection marks, expected %d" % (len(marks), len(want)))
    for w in want:
        if not any(math.hypot(w[0] - m[0], w[1] - m[1]) < 0.05 for m in marks):
            fail("no intersection mark at %r" % (w,))
    texts = ["".join(t.itertext()) for t in root.iter(NS + "text")]
    if "intersection of circles (%d)" % len(doc["intersections"]) not in texts:
        fail("the legend does not count the intersections")
    hidden = ["".join(t.itertext()) for t in classed("text", "hidden-intersections")]
    if (len(doc["intersections"]) - len(want) > 0) != bool(hidden) or \
            (hidden and not hidden[0].startswith("%d " % (len(doc["intersections"]) - len(want)))):
        fail("the legend's count of intersections not shown: %r" % hidden)
elif marks:
    fail("intersections marked without --intersections")
print(len(labels))
PY
}
for a in "0.97531795 0.1 0.630991 0.1" "0.3 0.1 0.99 0.1" "0.9955 0.2 0.5 0.1" "1 0.3 0.5 0.1" \
         "-1 0 0.5 0" "0 0.4 -0.2 -2"; do
    # shellcheck disable=SC2086
    "$tool" --format svg $a > "$tmp/m.svg" && "$tool" --format json $a > "$tmp/m.json" &&
        "$tool" --format svg --intersections $a > "$tmp/mi.svg" || fail "svg and json for $a"
    # shellcheck disable=SC2086
    labels=$(check_svg_marks "$tmp/m.svg" "$tmp/m.json" $a)
    # shellcheck disable=SC2086
    check_svg_marks "$tmp/mi.svg" "$tmp/m.json" $a > /dev/null
    check_svg "$tmp/mi.svg" > /dev/null
    # The scene's ten curves all peak inside the plot: each is named.
    [ "$a" != "${scene[*]}" ] || [ "$labels" -eq 10 ] || fail "the scene's drawing names $labels curves, not 10"
done

# Degenerate and extreme arguments still give a clean drawing: poles (0/0),
# nearly collapsed pentagons (heights in the millions), the equator, and
# longitudes far outside one turn.
for a in "1 0.3 0.630991 0.1" "0.99999994 0.2 -1 0.1" "0 0 0 0" "1 0 1 0" "-0.3 1e6 0.5 -7" \
         "-1 0 0.5 0"; do
    # shellcheck disable=SC2086
    "$tool" --format svg $a > "$tmp/d.svg" || fail "svg for $a"
    check_svg "$tmp/d.svg" > /dev/null || fail "svg for $a"
    rsvg-convert "$tmp/d.svg" -o "$tmp/d.png" || fail "rendering the svg for $a"
done
grep -q "not shown" <("$tool" --format svg 0.99999994 0.2 0.5 0.1) || fail "clipping not stated"
grep -q "at a pole" <("$tool" --format svg 1 0.3 0.5 0.1) || fail "collapsed pentagon not stated"

# --- command line -------------------------------------------------------------
"$tool" --help > "$tmp/out" 2> "$tmp/err" || fail "--help must exit 0"
head -n 1 "$tmp/out" | grep -q "^usage: geodesic-report" || fail "--help prints the usage"
[ -s "$tmp/err" ] && fail "--help writes nothing on stderr"
"$tool" -0.5 -1 .3 -.2 > /dev/null || fail "negative numbers are numbers"
"$tool" --format=json 0.5 1 0.3 2 | python3 -c 'import json,sys; json.load(sys.stdin)' \
    || fail "--format=json"

# Each bad command line: status 2, nothing on stdout, one line naming the
# problem and the usage line on stderr.
expect_usage_error "got 3" 1 2 3
expect_usage_error "got 5" 1 2 3 4 5
expect_usage_error "got 1" --format json 0.5
expect_usage_error "LAT1 'abc' is not a number" abc 0 0 0
expect_usage_error "LONG1 'nan' is not a finite number" 0 nan 0 0
expect_usage_error "LONG1 '-nan' is not a finite number" 0 -nan 0 0
expect_usage_error "LAT2 'inf' is not a finite number" 0 0 inf 0
expect_usage_error "LONG2 '-Infinity' is not a finite number" 0 0 0 -Infinity
expect_usage_error "LONG1 '1e39' is too large for single precision" 0 1e39 0 0
expect_usage_error "LONG2 '1e308' is too large for single precision" 0 0 0 1e308
expect_usage_error "LAT1 '0.5x' is not a number" 0.5x 0 0 0
expect_usage_error "LAT1 '' is not a number" "" 0 0 0
expect_usage_error "LAT1 ' 1' is not a number" " 1" 0 0 0
# Heights are those of points on the unit sphere.
expect_usage_error "LAT1 '2' is outside -1 to 1" 2 0 0.5 0
expect_usage_error "LAT2 '-5' is outside -1 to 1" 0.5 0 -5 0
expect_usage_error "LAT1 '-1.0000001' is outside -1 to 1" -1.0000001 0 0.5 0
"$tool" -1 0 1 0 > /dev/null || fail "heights of exactly -1 and 1 are on the sphere"
# Quoted arguments stay on one short line: control characters escaped, long
# words cut.
expect_usage_error "LAT1 '1\n2' is not a number" $'1\n2' 0 0 0
long=$(head -c 100000 /dev/zero | tr '\0' 7)
expect_usage_error "LONG1 '77777777777777777777777777777777...' (100000 characters) is too large" 0 "$long" 0 0
[ "$(head -n 1 "$tmp/err" | wc -c)" -lt 200 ] || fail "a long argument is echoed whole"
expect_usage_error "unknown option '--\x1b[31m'" $'--\e[31m'
expect_usage_error "missing value" --format
expect_usage_error "missing value" --format=
expect_usage_error "'xml'" --format xml
expect_usage_error "'--bogus'" --bogus
expect_usage_error "'-x'" -x 0 0 0 0

# --help's text lost is a failure too, as every other output's is.
for sink in /dev/full closed; do
    [ "$sink" = /dev/full ] && [ ! -w /dev/full ] && continue
    status=0
    if [ "$sink" = closed ]; then "$tool" --help >&- 2> /dev/null || status=$?
    else "$tool" --help > "$sink" 2> /dev/null || status=$?; fi
    [ "$status" -eq 1 ] || fail "--help into $sink: status $status, expected 1"
done

# A failed write is not a success.
if [ -w /dev/full ]; then
    status=0
    "$tool" --format json > /dev/full 2> /dev/null || status=$?
    [ "$status" -eq 1 ] || fail "writing to a full device: status $status, expected 1"
fi
echo "geodesic-report: all checks passed"
