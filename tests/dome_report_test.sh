# geodesic-report's dome and paper cylinder: the JSON's "dome" against its
# arcs, the cut list against the JSON, the STL and the OBJ read back as a
# slicer would (watertight, outwards, on the sphere asked for, the same mesh
# in both), the paper cylinder measured as a ruler would, and every bad
# value or combination of options refused.
set -euo pipefail

tool="$BUILD_DIR/tools/geodesic-report"
[ -x "$tool" ] || { echo "FAIL: $tool not built" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$SOURCE_DIR/tests/script_env.sh" # expect_usage_error

# --- JSON ---------------------------------------------------------------------
# The dome's counts for each set of values (V E F, faces by size, hubs, panels),
# and the struts against the arcs: every arc's chord is the length of a class.
# (The properties of the dome itself are tests/dome_test.cpp's.)
check_dome_json() { # FILE V E F "corners:count ..." HUBS PANELS
    python3 - "$@" <<'PY'
import json, math, sys
doc = json.load(open(sys.argv[1]))
v, e, f, sizes, hubs, panels = sys.argv[2:8]
d = doc["dome"]
def fail(what): sys.exit("FAIL: %s: %s" % (sys.argv[1], what))
if [d["vertices"], d["edges"], d["faces"]] != [int(v), int(e), int(f)]:
    fail("V E F %r" % [d["vertices"], d["edges"], d["faces"]])
if " ".join("%d:%d" % (s["corners"], s["count"]) for s in d["facesBySize"]) != sizes:
    fail("faces by size %r" % d["facesBySize"])
if d["hubCount"] != int(hubs) or d["panelCount"] != int(panels): fail("hubs or panels")
if d["vertices"] != len(doc["intersections"]): fail("a vertex for each intersection")
lengths = [s["length"] for s in d["struts"]]
if lengths != sorted(lengths) or [s["letter"] for s in d["struts"]][:2] != ["A", "B"][:len(lengths)]:
    fail("struts from the shortest, lettered A, B, ...")
if any(b - a <= 1e-6 for a, b in zip(lengths, lengths[1:])): fail("two classes of one length")
# Struts: the edges' chords and the spokes; each edge is one arc of a circle
# that no lower-numbered circle coincides with.
coincident = {b for a, b in doc["coincidentCircles"]}
edges = [a for a in doc["arcs"] if a["circle"] not in coincident]
if len(edges) != d["edges"]: fail("%d edges, %d arcs of distinct circles" % (d["edges"], len(edges)))
if sum(s["count"] for s in d["struts"]) != d["strutCount"] or d["strutCount"] != d["edges"] + d["spokes"]:
    fail("strut count = edges + spokes")
if sum(s["count"] - s["spokes"] for s in d["struts"]) != d["edges"]: fail("edge struts")
for a in edges:
    if not any(abs(a["chord"] - s["length"]) <= 1e-6 for s in d["struts"] if s["count"] > s["spokes"]):
        fail("arc %r's chord is no strut's length" % a)
if sum(h["count"] for h in d["hubs"]) != d["hubCount"] or \
        sum(p["count"] for p in d["panels"]) != d["panelCount"]:
    fail("hubs or panels by class")
print("%.4f %.4f" % (d["area"] / (4 * math.pi), d["volume"] / (4 * math.pi / 3)))
PY
}
"$tool" --format json > "$tmp/scene.json"
shares=$(check_dome_json "$tmp/scene.json" 90 180 92 "3:60 5:12 6:20" 122 240)
[ "$shares" = "0.9701 0.9455" ] || fail "the scene's panels' area and volume shares: $shares"
"$tool" --format json 1 0.3 0.630991 0.1 > "$tmp/pole.json"
check_dome_json "$tmp/pole.json" 20 40 22 "3:10 4:10 5:2" 32 60 > /dev/null
"$tool" --format json 0.5 0.3 0.5 0.3 > "$tmp/twice.json"
check_dome_json "$tmp/twice.json" 20 40 22 "3:10 4:10 5:2" 32 60 > /dev/null
for a in "1 0 -1 0" "0 0 0 0.5" "0 0.3 1 0"; do
    # shellcheck disable=SC2086
    "$tool" --format json $a | python3 -c 'import json, sys; sys.exit(json.load(sys.stdin)["dome"] is not None)' ||
        fail "no dome for $a, yet not null"
done

# --- the cut list ---------------------------------------------------------------
# Its numbers are the JSON's at the radius asked for: lengths, chord factors,
# bends and counts, hubs, panels' letters, angles and counts, area and volume.
check_cut_list() { # TEXT JSON RADIUS
    python3 - "$@" <<'PY'
import json, math, re, sys
text, d, radius = open(sys.argv[1]).read(), json.load(open(sys.argv[2]))["dome"], float(sys.argv[3])
def fail(what): sys.exit("FAIL: cut list at radius %g: %s" % (radius, what))
if "V - E + F = %d - %d + %d = 2" % (d["vertices"], d["edges"], d["faces"]) not in text.replace("\n", " "):
    fail("Euler's formula")
rows = re.findall(r"^([A-Z]+) +([\d.]+) +([\d.]+) +([\d.]+)° +(\d+)$", text, re.M)
if len(rows) != len(d["struts"]): fail("%d strut rows" % len(rows))
for (letter, length, factor, bend, count), s in zip(rows, d["struts"]):
    if letter != s["letter"] or int(count) != s["count"]: fail("strut %s" % letter)
    if abs(float(factor) - s["length"]) > 5e-9 or abs(float(bend) - math.degrees(s["bendAngle"])) > 0.005:
        fail("strut %s's chord factor or bend" % letter)
    if abs(float(length) - s["length"] * radius) > 1e-6 * radius: fail("strut %s's length" % letter)
total = float(re.search(r"^Total strut length: ([\d.]+)$", text, re.M).group(1))
if abs(total - d["totalStrutLength"] * radius) > 1e-6 * radius: fail("total length")
lengths = [s["length"] for s in d["struts"]]
variance = float(re.search(r"^Strut variance: ([\d.]+) ", text, re.M).group(1))
if abs(variance - (lengths[-1] / lengths[0] - 1)) > 1e-6: fail("variance")
if re.findall(r"^  (\d+)-way × (\d+)$", text, re.M) != [(str(h["valence"]), str(h["count"])) for h in d["hubs"]]:
    fail("hubs")
panels = re.findall(r"^([A-Z-]+) +([\d.]+) +([\d.]+) +([\d.]+) +(\d+)$", text, re.M)
if [(p[0], int(p[4])) for p in panels] != [("-".join(p["struts"]), p["count"]) for p in d["panels"]]:
    fail("panels")
for row, p in zip(panels, d["panels"]):
    if any(abs(float(a) - math.degrees(b)) > 0.005 for a, b in zip(row[1:4], p["angles"])):
        fail("panel %s's angles" % row[0])
area = re.search(r"^Area of the panels: (\S+) \(([\d.]+) % ", text, re.M)
volume = re.search(r"^Volume they enclose: (\S+) \(([\d.]+) % ", text, re.M)
if abs(float(area.group(1)) / (d["area"] * radius ** 2) - 1) > 1e-6 or \
        abs(float(volume.group(1)) / (d["volume"] * radius ** 3) - 1) > 1e-6:
    fail("area or volume")
if abs(float(area.group(2)) - 100 * d["area"] / (4 * math.pi)) > 0.005: fail("area share")
PY
}
"$tool" --dome > "$tmp/cut1.txt"
check_cut_list "$tmp/cut1.txt" "$tmp/scene.json" 1
grep -qx "  5-way × 12" "$tmp/cut1.txt" && grep -qx "  6-way × 110" "$tmp/cut1.txt" || fail "the scene's hubs"
"$tool" --dome --radius 2500 > "$tmp/cut2500.txt"
check_cut_list "$tmp/cut2500.txt" "$tmp/scene.json" 2500
"$tool" --radius=0.75 --dome 1 0.3 0.630991 0.1 > "$tmp/cutpole.txt"
check_cut_list "$tmp/cutpole.txt" "$tmp/pole.json" 0.75
"$tool" --dome 1 0 -1 0 > "$tmp/none.txt"
[ "$(wc -l < "$tmp/none.txt")" -eq 1 ] && grep -q "^No dome" "$tmp/none.txt" || fail "no dome: one line"

# --- the solid: STL and OBJ ---------------------------------------------------------
# Read back as a slicer would: the triangle count, every edge in exactly two
# triangles and once each way round (watertight and consistently wound), each
# stored normal the corners' right-hand normal and away from the centre, every
# corner on the sphere asked for, and the volume the JSON gives.
check_stl() { # FILE RADIUS JSON
    python3 - "$@" <<'PY'
import json, math, struct, sys
data, radius = open(sys.argv[1], "rb").read(), float(sys.argv[2])
d = json.load(open(sys.argv[3]))["dome"]
def fail(what): sys.exit("FAIL: STL at radius %g: %s" % (radius, what))
if data[:5] == b"solid": fail("a binary STL's header must not start with 'solid'")
n = struct.unpack("<I", data[80:84])[0]
if n != d["panelCount"] or len(data) != 84 + 50 * n: fail("%d triangles in %d bytes" % (n, len(data)))
sides, volume = {}, 0
for k in range(n):
    f = struct.unpack("<12fH", data[84 + 50 * k:134 + 50 * k])
    normal, corners = f[0:3], [f[3:6], f[6:9], f[9:12]]
    for c in corners:
        if abs(math.sqrt(sum(x * x for x in c)) - radius) > 1e-6 * radius: fail("corner %r" % (c,))
    u = [corners[1][i] - corners[0][i] for i in range(3)]
    v = [corners[2][i] - corners[0][i] for i in range(3)]
    cross = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
    size = math.sqrt(sum(x * x for x in cross))
    if abs(math.sqrt(sum(x * x for x in normal)) - 1) > 1e-6: fail("normal %d not of unit length" % k)
    if size > 0 and sum(cross[i] / size * normal[i] for i in range(3)) < 0.999:
        fail("triangle %d wound against its normal" % k)
    centroid = [sum(c[i] for c in corners) / 3 for i in range(3)]
    if sum(normal[i] * centroid[i] for i in range(3)) <= 0: fail("triangle %d faces inwards" % k)
    volume += sum(corners[0][i] * [corners[1][1] * corners[2][2] - corners[1][2] * corners[2][1],
                                   corners[1][2] * corners[2][0] - corners[1][0] * corners[2][2],
                                   corners[1][0] * corners[2][1] - corners[1][1] * corners[2][0]][i]
                  for i in range(3)) / 6
    for a, b in ((0, 1), (1, 2), (2, 0)):
        side = (corners[a], corners[b])
        sides[side] = sides.get(side, 0) + 1
for (a, b), count in sides.items():
    if count != 1 or sides.get((b, a)) != 1: fail("edge %r-%r not in exactly two triangles" % (a, b))
if len(sides) != 2 * d["strutCount"]: fail("%d edges, %d struts" % (len(sides) / 2, d["strutCount"]))
if abs(volume / (d["volume"] * radius ** 3) - 1) > 1e-5: fail("volume %g" % volume)
PY
}
"$tool" --format stl > "$tmp/scene.stl"
check_stl "$tmp/scene.stl" 50 "$tmp/scene.json"
"$tool" --format stl --radius 1000 > "$tmp/big.stl"
check_stl "$tmp/big.stl" 1000 "$tmp/scene.json"
"$tool" --format=stl --radius 12.5 1 0.3 0.630991 0.1 > "$tmp/pole.stl"
check_stl "$tmp/pole.stl" 12.5 "$tmp/pole.json"

# The OBJ: the same triangles, in the same order and winding, and its lines
# the struts: the triangles' edges, each once.
"$tool" --format obj > "$tmp/scene.obj"
python3 - "$tmp/scene.obj" "$tmp/scene.stl" "$tmp/scene.json" <<'PY'
import json, struct, sys
lines = open(sys.argv[1]).read().splitlines()
data, d = open(sys.argv[2], "rb").read(), json.load(open(sys.argv[3]))["dome"]
def fail(what): sys.exit("FAIL: OBJ: " + what)
vertices, faces, struts = [], [], []
for line in lines:
    word = line.split()
    if not word or word[0] == "#" or word[0] == "o": continue
    if word[0] == "v" and len(word) == 4: vertices.append(tuple(float(x) for x in word[1:]))
    elif word[0] == "f" and len(word) == 4: faces.append(tuple(int(x) - 1 for x in word[1:]))
    elif word[0] == "l" and len(word) == 3: struts.append(tuple(int(x) - 1 for x in word[1:]))
    else: fail("a line no OBJ reader takes: %r" % line)
if (len(vertices), len(faces), len(struts)) != (d["hubCount"], d["panelCount"], d["strutCount"]):
    fail("%d vertices, %d faces, %d lines" % (len(vertices), len(faces), len(struts)))
if any(not 0 <= i < len(vertices) for f in faces + struts for i in f): fail("an index out of range")
for k, f in enumerate(faces):
    stl = struct.unpack("<9f", data[96 + 50 * k:132 + 50 * k])
    if any(struct.unpack("<f", struct.pack("<f", vertices[i][a]))[0] != stl[3 * j + a]
           for j, i in enumerate(f) for a in range(3)):
        fail("face %d is not the STL's triangle %d" % (k, k))
edges = {frozenset((f[a], f[(a + 1) % 3])) for f in faces for a in range(3)}
if {frozenset(s) for s in struts} != edges or len(set(map(frozenset, struts))) != len(struts):
    fail("the lines are not the triangles' edges, each once")
PY

# Binary never goes to a terminal; without a dome there is nothing to write.
if command -v script > /dev/null; then
    status=0
    script -qec "$tool --format stl" /dev/null > "$tmp/tty.txt" 2>&1 || status=$?
    [ "$status" -eq 2 ] || fail "STL to a terminal: status $status, expected 2"
    [ "$(tr -d '\r' < "$tmp/tty.txt" | grep -c .)" -eq 1 ] && grep -q "terminal" "$tmp/tty.txt" ||
        fail "STL to a terminal: not one line: $(cat "$tmp/tty.txt")"
    script -qec "$tool --format obj 1 0.3 0.5 0.1" /dev/null > "$tmp/tty.txt" 2>&1 ||
        fail "OBJ is text: a terminal takes it"
fi
for format in stl obj; do
    status=0
    "$tool" --format $format 1 0 -1 0 > "$tmp/out" 2> "$tmp/err" || status=$?
    [ "$status" -eq 1 ] && [ ! -s "$tmp/out" ] && [ "$(wc -l < "$tmp/err")" -eq 1 ] &&
        grep -q "no dome" "$tmp/err" || fail "$format without a dome: status $status, $(cat "$tmp/err")"
done

# --- the paper cylinder ------------------------------------------------------------
# Measured as a ruler would: the pieces (each where its page puts it) make a
# sheet pi D wide and as tall as the heights shown, nothing lies outside its
# page's printable area, each curve's highest point is where the plane's normal
# puts it ((angle of the top) D / 2 along, amplitude D / 2 above the equator),
# and each intersection's image is at its angle and height.
check_paper() { # SVG JSON DIAMETER PAGES
    python3 - "$@" <<'PY'
import json, math, re, sys
import xml.etree.ElementTree as ET
NS = "{http://www.w3.org/2000/svg}"
root, doc = ET.parse(sys.argv[1]).getroot(), json.load(open(sys.argv[2]))
diameter, pages, r = float(sys.argv[3]), int(sys.argv[4]), float(sys.argv[3]) / 2
def fail(what): sys.exit("FAIL: paper cylinder %g mm: %s" % (diameter, what))
if root.get("width") != "210.000mm" or root.get("height") != "%.3fmm" % (279.4 * pages) or \
        root.get("viewBox") != "0 0 210.000 %.3f" % (279.4 * pages):
    fail("page size %s x %s" % (root.get("width"), root.get("height")))
if "@page { size: 210.000mm 279.400mm; margin: 0 }" not in "".join(root.find(NS + "style").itertext()):
    fail("no page size for the browser")
def translate(el):
    m = re.fullmatch(r"translate\(([-\d.]+) ([-\d.]+)\)", el.get("transform"))
    return float(m.group(1)), float(m.group(2))
def numbers(s): return [float(x) for x in re.findall(r"-?\d+(?:\.\d+)?", s)]

page_groups = [g for g in root if g.get("class") == "page"]
if len(page_groups) != pages: fail("%d pages" % len(page_groups))
cuts, tops, dots, labels, equator = [], {}, [], {}, None
for n, page in enumerate(page_groups):
    px, py = translate(page)
    if (px, py) != (0, round(279.4 * n, 3)): fail("page %d at %r" % (n, (px, py)))
    piece = page.find(NS + "g[@class='piece']")
    dx, dy = translate(piece)
    # Everything on the page inside its printable area: 10 mm from each edge.
    def on_page(x, y, what):
        if not (10 - 1e-6 <= x + dx <= 200 + 1e-6 and 10 - 1e-6 <= y + dy <= 269.4 + 1e-6):
            fail("page %d: %s at %.3f, %.3f is off the printable area" % (n + 1, what, x + dx, y + dy))
    for el in piece.iter():
        tag = el.tag[len(NS):]
        if tag == "polyline":
            pts = numbers(el.get("points"))
            for x, y in zip(pts[0::2], pts[1::2]):
                on_page(x, y, "a curve")
                tops.setdefault(int(el.get("class").split("c")[-1]), []).append((x, y))
        elif tag == "path":
            pts = numbers(re.sub(r"[MLHV]", " ", el.get("d")))
            if el.get("class") == "cut":
                cuts.append((pts[2], pts[0], pts[1])) # M x1,y0 H x0: left, right, top
        elif tag == "circle":
            on_page(float(el.get("cx")), float(el.get("cy")), "a dot")
            dots.append((float(el.get("cx")), float(el.get("cy"))))
        elif tag == "text" and re.fullmatch(r"[12]\.[0-4]", el.text or ""):
            labels[int(el.text[0]) * 5 - 5 + int(el.text[2])] = (float(el.get("x")), float(el.get("y")))
        elif tag == "line" and el.get("class") == "equator":
            equator = float(el.get("y1"))
    bar = page.find(NS + "path[@class='scale-bar']")
    xs = numbers(bar.get("d"))[0::2]
    if abs(max(xs) - min(xs) - 50) > 1e-9: fail("the scale bar is not 50 mm")
# The sheet: the pieces of each row side by side, pi D together.
for y0 in sorted({round(c[2], 3) for c in cuts}):
    row = sorted(c[:2] for c in cuts if round(c[2], 3) == y0)
    if abs(row[0][0]) > 1e-3 or any(abs(a[1] - b[0]) > 1e-3 for a, b in zip(row, row[1:])):
        fail("the pieces of a row do not join")
    if abs(row[-1][1] - math.pi * diameter) > 2e-3: fail("the sheet is %.3f mm wide" % row[-1][1])
half = equator / r
circles = [e for p in doc["pentagons"] for e in p["edges"]]
for c, e in enumerate(circles):
    nx, ny, nz = e["normal"]
    if doc["pentagons"][c // 5]["collapsed"] or ny == 0: # no plane: a pentagon at a pole
        if c in tops: fail("a curve without a plane")
        continue
    amplitude = math.hypot(nx, nz) / abs(ny)
    s = -1 if ny > 0 else 1
    angle = math.atan2(s * nx, s * nz) % (2 * math.pi)
    want = (angle * r, (half - amplitude) * r)
    if amplitude > half: continue # off the sheet
    # Drawn to the thousandth of a millimetre: the highest points (ties after
    # rounding among them) at the top's height, one of them at the top.
    highest = min(y for x, y in tops[c])
    if abs(highest - want[1]) > 0.001 or \
            not any(math.hypot(x - want[0], y - want[1]) < 0.001 for x, y in tops[c]):
        fail("curve %d's top at %r, the mathematics puts it at %r" % (c, highest, want))
    # Its name just above it, where there is room on the piece.
    if c in labels and math.hypot(labels[c][0] - want[0], labels[c][1] + 1.2 - want[1]) > 0.002:
        fail("curve %d's name at %r, not above its top %r" % (c, labels[c], want))
want = [(math.atan2(q["cylinder"][0], q["cylinder"][2]) % (2 * math.pi) * r, (half - q["cylinder"][1]) * r)
        for q in doc["intersections"] if q["cylinder"] is not None and abs(q["cylinder"][1]) <= half]
if len(labels) < 8 and diameter == 40: fail("the scene's curves unnamed")
if len(dots) != len(want): fail("%d dots, %d intersections on the sheet" % (len(dots), len(want)))
for w in want:
    if not any(math.hypot(w[0] - x, w[1] - y) < 0.002 for x, y in dots): fail("no dot at %r" % (w,))
PY
}
#            diameter pages  values
while read -r diameter pages values; do
    # shellcheck disable=SC2086
    "$tool" --format svg --diameter "$diameter" $values > "$tmp/paper.svg" || fail "paper for $values"
    # shellcheck disable=SC2086
    "$tool" --format json $values > "$tmp/paper.json"
    check_paper "$tmp/paper.svg" "$tmp/paper.json" "$diameter" "$pages"
done <<'EOF'
40 1 0.97531795 0.1 0.630991 0.1
60 2 -0.99999994 -1.23456789e+30 0.99999994 -3.40282347e+38
50 2 0.97531795 0.1 0.630991 0.1
120 3 0.3 0.1 -0.5 1
300 48 0.97531795 0.1 0.630991 0.1
25 1 1 0.3 0.630991 0.1
10 1 1 0 -1 0
EOF
# Rendered at 96 pixels to the inch, each page is 210 x 279.4 mm (794 x 1056
# pixels), and nothing (text included) is drawn within 10 mm of its edges,
# where printers may print nothing.
check_margins() { # PNG PAGES
    python3 - "$@" <<'PY'
import os, sys
sys.path.insert(0, os.path.join(os.environ["SOURCE_DIR"], "tests", "harness"))
from png_rows import read_png
pages = int(sys.argv[2])
def fail(what): sys.exit("FAIL: paper rendered: " + what)
w, h, bpp, rows = read_png(sys.argv[1])
if w != 794 or abs(h - pages * 279.4 / 25.4 * 96) > 1: fail("%d x %d pixels" % (w, h))
mm = 96 / 25.4
for y, line in enumerate(rows):
    down = y / mm % 279.4 # millimetres from the top of its page
    inside_rows = 10 - 0.5 <= down <= 269.4 + 0.5
    for x in range(w):
        if inside_rows and 10 - 0.5 <= x / mm <= 200 + 0.5: continue
        if min(line[x * bpp:x * bpp + 3]) < 250:
            fail("ink at %.1f mm across, %.1f mm down page %d" % (x / mm, down, y / mm // 279.4 + 1))
PY
}
for values in "60" "30 0.9999 0.3 0.2 1"; do
    # shellcheck disable=SC2086
    "$tool" --format svg --diameter $values > "$tmp/paper.svg"
    rsvg-convert -d 96 -p 96 "$tmp/paper.svg" -o "$tmp/paper.png" || fail "rendering the paper"
    check_margins "$tmp/paper.png" "$(grep -c 'class="page"' "$tmp/paper.svg")"
done

# --- bad values and options that do nothing -------------------------------------------
expect_usage_error "--radius '0' is not a positive number" --dome --radius 0
expect_usage_error "--radius '-3' is not a positive number" --format stl --radius -3
expect_usage_error "--radius 'abc' is not a number" --dome --radius abc
expect_usage_error "--radius '' is not a number" --dome --radius ""
expect_usage_error "--radius ' 5' is not a number" --dome --radius " 5"
expect_usage_error "--radius '5mm' is not a number" --dome --radius 5mm
# Hexadecimal is no decimal: refused in the words the four values get.
expect_usage_error "--radius '0x10' is not a number" --dome --radius 0x10
expect_usage_error "--diameter '0x40' is not a number" --format svg --diameter 0x40
expect_usage_error "LAT1 '0x1p-1' is not a number" --format stl 0x1p-1 0 0.5 0
expect_usage_error "--radius 'nan' is not a finite number" --dome --radius nan
expect_usage_error "--radius 'inf' is not a finite number" --dome --radius inf
expect_usage_error "--radius '1e7' is too large (at most 1000000)" --format obj --radius 1e7
expect_usage_error "--radius '1e999' is too large" --dome --radius 1e999
expect_usage_error "--radius '1e-999' is not a positive number" --dome --radius 1e-999
expect_usage_error "missing value after --radius" --dome --radius
expect_usage_error "missing value after --radius" --dome --radius=
expect_usage_error "--diameter '0' is not a positive number" --format svg --diameter 0
expect_usage_error "--diameter '1001' is too large (at most 1000 mm)" --format svg --diameter 1001
expect_usage_error "--diameter '-Infinity' is not a finite number" --format svg --diameter=-Infinity
expect_usage_error "--radius applies to --dome" --format json --radius 2
expect_usage_error "--radius applies to --dome" --format svg --radius 2
expect_usage_error "--diameter applies to --format svg" --dome --diameter 50
expect_usage_error "--dome is the cut list as text" --format json --dome
expect_usage_error "--dome and --intersections are two different texts" --dome --intersections
expect_usage_error "--intersections has nothing to add" --format stl --intersections
expect_usage_error "unknown format 'ply'" --format ply
"$tool" --format svg --diameter 1000 0.5 0 0.5 1 > /dev/null || fail "the largest diameter"
"$tool" --dome --radius 1000000 > /dev/null || fail "the largest radius"
echo "dome report: all checks passed"
