// The web page's entry points into the project's own mathematics: the four
// values read by mathematics/pentagon_args, every quantity of the figure from
// mathematics/figure_samples, the circles' intersections and the arcs between
// them from mathematics/intersections, the dome of mathematics/dome with its
// cut list, the value report of support/tholix_print_values, the camera flight
// of mathematics/camera_flight and the scene's constants. Plain C functions
// over buffers in the module's memory; web/src/geodesics.js wraps them.
// Nothing here computes geometry itself: it only lays out what those modules
// compute.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "mathematics/camera_flight.h"
#include "mathematics/dome.h"
#include "mathematics/dome_report.h"
#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"
#include "mathematics/pentagon_args.h"
#include "mathematics/quantities.h"
#include "mathematics/scene_constants.h"
#include "support/tholix_print_values.h"

namespace {
const int kSamples = 100; // samples per curve, as the figure draws them
const int kCurves = 10;   // five edges of each pentagon

// Everything the page draws or shows of one figure, as floats only, so that
// JavaScript reads it as one Float32Array. Pentagon 1 comes before pentagon 2
// in every array, edge i of a pentagon at index i (or 5 + i). The corners and
// the equator crossings are adjacent and in the figure's own point order
// (objects/tholix.cpp): corners of P1 and P2, then P1's crossings, their
// negations, P2's crossings, their negations.
struct webFigure {
    float arguments[4];
    float sampleAngles[kSamples];
    float height[2], longitude[2], polarAngle[2], reportLatitude[2];
    float collapsed[2]; // 1: the corners are at a pole in single precision, the
                        // edges' planes undefined and the cylinder curves NaN
    float longAngles[10], reportLongitudes[10];
    float normals[kCurves * 3], unitNormals[kCurves * 3], normalWasZero[kCurves];
    float alongEdge[kCurves * 3], crossingAngles[kCurves];
    float corners[10 * 3];
    float crossings[20 * 3];
    float greatCircles[kCurves * kSamples * 3];
    float cylinderCurves[kCurves * kSamples * 3];
};

struct layoutEntry {
    const char* name;
    int offset, length; // in floats
};

#define FIELD(f)                                                                                   \
    { #f, int(offsetof(webFigure, f) / sizeof(float)), int(sizeof(webFigure::f) / sizeof(float)) }
const layoutEntry kLayout[] = {
    FIELD(arguments),        FIELD(sampleAngles),   FIELD(height),      FIELD(longitude),
    FIELD(polarAngle),       FIELD(reportLatitude), FIELD(collapsed),   FIELD(longAngles),
    FIELD(reportLongitudes), FIELD(normals),        FIELD(unitNormals), FIELD(normalWasZero),
    FIELD(alongEdge),        FIELD(crossingAngles), FIELD(corners),     FIELD(crossings),
    FIELD(greatCircles),     FIELD(cylinderCurves),
};
#undef FIELD

// The intersections in two blocks of fixed size, doubles and 32-bit
// integers, each a list of named arrays as the figure's. At most 90 points
// (two for each of the 45 pairs of circles) and 180 arcs (at most 18 points
// on each circle). Where the geometry has no value (an image at a pole, a
// length along a vertical plane) the double is NaN, which geodesics.js turns
// into null. A set of circles or corners is a bit mask: bit c for circle c,
// bit k for corner k = 5 (pentagon - 1) + i.
const int kMaxPoints = 90, kMaxArcs = 180, kMaxPairs = 45;

struct webIntersectionValues {
    double sphere[kMaxPoints * 3], cylinder[kMaxPoints * 3];
    double longitude[kMaxPoints], polarAngle[kMaxPoints];
    double arcAngle[kMaxArcs], arcChord[kMaxArcs], arcCylinderLength[kMaxArcs];
    double unitNormal[kCircles * 3];
    double angleSum[kCircles], chordSum[kCircles], cylinderSum[kCircles];
    double cylinderCurve[kCircles]; // the whole curve's length
};

struct webIntersectionIndices {
    int counts[3]; // points, arcs, coincident pairs
    int pointCircles[kMaxPoints], pointCorners[kMaxPoints], pointEquatorCrossing[kMaxPoints];
    int arcCircle[kMaxArcs], arcFrom[kMaxArcs], arcTo[kMaxArcs];
    int coincident[kMaxPairs * 2];
    int circleLive[kCircles], circleSameAs[kCircles], circleVertical[kCircles];
    int circleFirstArc[kCircles], circleArcCount[kCircles];
};

using values = webIntersectionValues;
using indices = webIntersectionIndices;
#define VALUES(f)                                                                                  \
    { #f, int(offsetof(values, f) / sizeof(double)), int(sizeof(values::f) / sizeof(double)) }
#define INDICES(f)                                                                                 \
    { #f, int(offsetof(indices, f) / sizeof(int)), int(sizeof(indices::f) / sizeof(int)) }
// Layout 1: the doubles; layout 2: the integers.
const layoutEntry kValueLayout[] = {
    VALUES(sphere),   VALUES(cylinder), VALUES(longitude),         VALUES(polarAngle),
    VALUES(arcAngle), VALUES(arcChord), VALUES(arcCylinderLength), VALUES(unitNormal),
    VALUES(angleSum), VALUES(chordSum), VALUES(cylinderSum),       VALUES(cylinderCurve),
};
const layoutEntry kIndexLayout[] = {
    INDICES(counts),         INDICES(pointCircles),
    INDICES(pointCorners),   INDICES(pointEquatorCrossing),
    INDICES(arcCircle),      INDICES(arcFrom),
    INDICES(arcTo),          INDICES(coincident),
    INDICES(circleLive),     INDICES(circleSameAs),
    INDICES(circleVertical), INDICES(circleFirstArc),
    INDICES(circleArcCount),
};
#undef VALUES
#undef INDICES

webFigure figure;
webIntersectionValues intersectionValues;
webIntersectionIndices intersectionIndices;
float parsedValue;
double parsedRadius;
std::string message;
std::string report;
float camera[6];

void put3(float* to, const float* from) { std::memcpy(to, from, 3 * sizeof(float)); }

double orNaN(const std::optional<double>& v) { return v ? *v : NAN; }

int bits(const std::vector<int>& list) {
    int mask = 0;
    for (int k : list) mask |= 1 << k;
    return mask;
}

// Intersection layout `which` (1 or 2) and its number of entries; none for
// any other number.
const layoutEntry* intersectionLayout(int which, int& count) {
    count = 0;
    if (which == 1) count = int(sizeof kValueLayout / sizeof kValueLayout[0]);
    if (which == 2) count = int(sizeof kIndexLayout / sizeof kIndexLayout[0]);
    return which == 1 ? kValueLayout : which == 2 ? kIndexLayout : nullptr;
}

const layoutEntry& intersectionEntry(int which, int k) {
    static const layoutEntry none = {"", 0, 0};
    int count = 0;
    const layoutEntry* entries = intersectionLayout(which, count);
    return k >= 0 && k < count ? entries[k] : none;
}

// The last dome built, laid out for three.js at the radius asked for: the
// panels as a triangle soup (flat shading needs each corner once per panel),
// the struts as line segments, the hubs as points.
struct webDome {
    geodesicDome dome;
    float arguments[4];
    std::vector<float> positions, normals, struts, hubs;
    std::vector<int> panelClasses, strutClasses, valences;
    std::string problem, json, cutList;
} dome;

void putScaled(std::vector<float>& to, const vector3d& v, double scale) {
    for (double c : v) to.push_back(float(c * scale));
}
} // namespace

extern "C" {

// Reads value `index` (0 to 3: LAT1 LONG1 LAT2 LONG2) from `length` bytes of
// UTF-8. Returns "" and keeps the value for gd_parsed_value, or the one-line
// message of mathematics/pentagon_args. A word with a NUL byte inside cannot reach
// a command line; it is not a number, and the message quotes all of it.
EMSCRIPTEN_KEEPALIVE const char* gd_parse_value(int index, const char* word, int length) {
    if (index < 0 || index > 3) return "no such value";
    const std::string whole(word, std::size_t(length));
    if (std::memchr(word, '\0', std::size_t(length)) != nullptr)
        message = std::string(kPentagonValueNames[index]) + " " + quoteArgument(whole) +
                  " is not a number";
    else
        message = parsePentagonValue(index, whole.c_str(), parsedValue);
    return message.c_str();
}

EMSCRIPTEN_KEEPALIVE float gd_parsed_value() { return parsedValue; }

// Reads the dome's radius in millimetres from `length` bytes of UTF-8 as
// geodesic-report reads --radius (mathematics/quantities), with the same
// limit: "" and the radius kept for gd_parsed_radius, or the one-line message
// naming it "Radius".
EMSCRIPTEN_KEEPALIVE const char* gd_parse_radius(const char* word, int length) {
    const std::string whole(word, std::size_t(length));
    if (std::memchr(word, '\0', std::size_t(length)) != nullptr)
        message = "Radius " + quoteArgument(whole) + " is not a number";
    else
        message = readQuantity("Radius", whole.c_str(), kMaxDomeRadius, " mm", parsedRadius);
    return message.c_str();
}
EMSCRIPTEN_KEEPALIVE double gd_parsed_radius() { return parsedRadius; }
// The radius of the solid where none is given, millimetres.
EMSCRIPTEN_KEEPALIVE double gd_default_radius() { return kSolidRadius; }

EMSCRIPTEN_KEEPALIVE const float* gd_scene_pentagons() { return kScenePentagons; }
// The scene's value k (0 to 3) as a person types it.
EMSCRIPTEN_KEEPALIVE const char* gd_scene_pentagon_word(int k) {
    return k >= 0 && k < 4 ? kScenePentagonWords[k] : "";
}
// The animation's facts of mathematics/scene_constants, seconds and degrees.
EMSCRIPTEN_KEEPALIVE float gd_animation_seconds() { return kAnimationSeconds; }
EMSCRIPTEN_KEEPALIVE float gd_caption_from_seconds() { return kCaptionFromSeconds; }
EMSCRIPTEN_KEEPALIVE float gd_spin_degrees_per_second() { return kSpinDegreesPerSecond; }

// The figure's layout: `gd_figure_floats()` floats in all, made of
// `gd_layout_count()` named arrays; k runs from 0 to gd_layout_count() - 1.
EMSCRIPTEN_KEEPALIVE int gd_figure_floats() { return int(sizeof(webFigure) / sizeof(float)); }
EMSCRIPTEN_KEEPALIVE int gd_layout_count() { return int(sizeof kLayout / sizeof kLayout[0]); }
EMSCRIPTEN_KEEPALIVE const char* gd_layout_name(int k) { return kLayout[k].name; }
EMSCRIPTEN_KEEPALIVE int gd_layout_offset(int k) { return kLayout[k].offset; }
EMSCRIPTEN_KEEPALIVE int gd_layout_length(int k) { return kLayout[k].length; }

// The intersections' two layouts, `which` 1 (doubles, gd_intersection_values)
// or 2 (integers, gd_intersection_indices), in the same terms: offsets and
// lengths in elements of the block's type.
EMSCRIPTEN_KEEPALIVE int gd_intersection_layout_count(int which) {
    int count = 0;
    intersectionLayout(which, count);
    return count;
}
EMSCRIPTEN_KEEPALIVE const char* gd_intersection_layout_name(int which, int k) {
    return intersectionEntry(which, k).name;
}
EMSCRIPTEN_KEEPALIVE int gd_intersection_layout_offset(int which, int k) {
    return intersectionEntry(which, k).offset;
}
EMSCRIPTEN_KEEPALIVE int gd_intersection_layout_length(int which, int k) {
    return intersectionEntry(which, k).length;
}
EMSCRIPTEN_KEEPALIVE int gd_intersection_value_count() {
    return int(sizeof(webIntersectionValues) / sizeof(double));
}
EMSCRIPTEN_KEEPALIVE int gd_intersection_index_count() {
    return int(sizeof(webIntersectionIndices) / sizeof(int));
}
EMSCRIPTEN_KEEPALIVE const double* gd_intersection_values() {
    return &intersectionValues.sphere[0];
}
EMSCRIPTEN_KEEPALIVE const int* gd_intersection_indices() { return intersectionIndices.counts; }

// Computes every intersection and arc for the four values into the two
// blocks, which stay valid until the next call. Returns 1, or 0 if the
// answer would not fit (never for the figure's ten circles).
EMSCRIPTEN_KEEPALIVE int gd_compute_intersections(float lat1, float long1, float lat2,
                                                  float long2) {
    const circleIntersections r = computeIntersections(lat1, long1, lat2, long2);
    webIntersectionValues& v = intersectionValues;
    webIntersectionIndices& x = intersectionIndices;
    if (r.points.size() > size_t(kMaxPoints) || r.arcs.size() > size_t(kMaxArcs) ||
        r.coincident.size() > size_t(kMaxPairs))
        return 0;
    x.counts[0] = int(r.points.size());
    x.counts[1] = int(r.arcs.size());
    x.counts[2] = int(r.coincident.size());
    for (size_t k = 0; k < r.points.size(); ++k) {
        const intersectionPoint& q = r.points[k];
        for (int a = 0; a < 3; ++a) {
            v.sphere[3 * k + a] = q.sphere[a];
            v.cylinder[3 * k + a] = q.cylinder ? (*q.cylinder)[a] : NAN;
        }
        v.longitude[k] = q.longitude;
        v.polarAngle[k] = q.polarAngle;
        x.pointCircles[k] = bits(q.circles);
        x.pointCorners[k] = bits(q.corners);
        x.pointEquatorCrossing[k] = q.equatorCrossing;
    }
    for (size_t k = 0; k < r.arcs.size(); ++k) {
        const circleArc& a = r.arcs[k];
        v.arcAngle[k] = a.angle;
        v.arcChord[k] = a.chord;
        v.arcCylinderLength[k] = orNaN(a.cylinderLength);
        x.arcCircle[k] = a.circle;
        x.arcFrom[k] = a.from;
        x.arcTo[k] = a.to;
    }
    for (size_t k = 0; k < r.coincident.size(); ++k) {
        x.coincident[2 * k] = r.coincident[k][0];
        x.coincident[2 * k + 1] = r.coincident[k][1];
    }
    for (int c = 0; c < kCircles; ++c) {
        const circleWalk& w = r.circles[c];
        for (int a = 0; a < 3; ++a) v.unitNormal[3 * c + a] = w.unitNormal[a];
        v.angleSum[c] = w.angleSum;
        v.chordSum[c] = w.chordSum;
        v.cylinderSum[c] = orNaN(w.cylinderSum);
        v.cylinderCurve[c] = orNaN(w.cylinderCurve);
        x.circleLive[c] = w.live;
        x.circleSameAs[c] = w.sameAs;
        x.circleVertical[c] = w.vertical;
        x.circleFirstArc[c] = w.firstArc;
        x.circleArcCount[c] = w.arcCount;
    }
    return 1;
}

// Computes the figure for the four values; the result stays valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const float* gd_compute_figure(float lat1, float long1, float lat2,
                                                    float long2) {
    const figureSamples f = computeFigure(lat1, long1, lat2, long2, kSamples);
    webFigure& w = figure;
    std::memcpy(w.arguments, f.arguments, sizeof w.arguments);
    std::memcpy(w.sampleAngles, f.sampleAngles.data(), sizeof w.sampleAngles);
    for (int p = 0; p < 2; ++p) {
        const pentagonSamples& s = f.pentagons[p];
        w.height[p] = s.height;
        w.longitude[p] = s.longitude;
        w.polarAngle[p] = s.polarAngle;
        w.reportLatitude[p] = s.reportLatitude;
        w.collapsed[p] = s.collapsed ? 1.0f : 0.0f;
        for (int i = 0; i < 5; ++i) {
            const int c = 5 * p + i; // corner, edge and curve index
            const edgeSamples& e = s.edges[i];
            const greatCircleBasis& b = e.basis;
            const float unit[3] = {b.xa, b.ya, b.za}, along[3] = {b.xn2, b.yn2, b.zn2};
            w.longAngles[c] = s.longAngles[i];
            w.reportLongitudes[c] = s.reportLongitudes[i];
            put3(w.corners + 3 * c, s.corners[i].data());
            put3(w.normals + 3 * c, e.normal.data());
            put3(w.unitNormals + 3 * c, unit);
            w.normalWasZero[c] = b.normalWasZero ? 1.0f : 0.0f;
            put3(w.alongEdge + 3 * c, along);
            w.crossingAngles[c] = e.crossingAngle;
            put3(w.crossings + 3 * (10 * p + i), e.crossings[0].data());
            put3(w.crossings + 3 * (10 * p + 5 + i), e.crossings[1].data());
            for (int j = 0; j < kSamples; ++j) {
                put3(w.greatCircles + 3 * (c * kSamples + j), e.greatCircle[j].data());
                put3(w.cylinderCurves + 3 * (c * kSamples + j), e.cylinderCurve[j].data());
            }
        }
    }
    return reinterpret_cast<const float*>(&figure);
}

// The plain-text value report, as geodesic-report prints it.
EMSCRIPTEN_KEEPALIVE const char* gd_value_report(float lat1, float long1, float lat2, float long2) {
    std::ostringstream out;
    tholix_print_values(lat1, long1, lat2, long2, out);
    report = out.str();
    return report.c_str();
}

// Builds the dome for the four values at `radius`: 1 built, 0 no dome (the
// circles meet nowhere), -1 failed or a radius that is not a positive number
// up to kMaxDomeRadius (gd_dome_problem says which). The arrays below stay valid
// until the next call.
EMSCRIPTEN_KEEPALIVE int gd_dome_build(float lat1, float long1, float lat2, float long2,
                                       double radius) {
    webDome& w = dome;
    w = webDome{};
    if (!(radius > 0 && radius <= kMaxDomeRadius)) {
        w.problem =
            "the radius must be a positive number up to " + std::to_string(int(kMaxDomeRadius));
        w.json = "null";
        return -1;
    }
    w.dome = buildDome(lat1, long1, lat2, long2);
    w.problem = w.dome.problem;
    const float arguments[4] = {lat1, long1, lat2, long2};
    std::memcpy(w.arguments, arguments, sizeof arguments);
    const geodesicDome& d = w.dome;
    w.json = domeJson(d, "");
    if (d.status != domeStatus::built) return d.status == domeStatus::noVertex ? 0 : -1;
    for (const domePanel& p : d.panels) {
        const vector3d &a = d.hubs[size_t(p.hubs[0])], &b = d.hubs[size_t(p.hubs[1])],
                       &c = d.hubs[size_t(p.hubs[2])];
        const vector3d u = {b[0] - a[0], b[1] - a[1], b[2] - a[2]},
                       v = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        vector3d n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                      u[0] * v[1] - u[1] * v[0]};
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (double& x : n) x /= length;
        for (int hub : p.hubs) {
            putScaled(w.positions, d.hubs[size_t(hub)], radius);
            putScaled(w.normals, n, 1);
        }
        w.panelClasses.push_back(p.panelClass);
    }
    for (const domeStrut& s : d.struts) {
        putScaled(w.struts, d.hubs[size_t(s.hubs[0])], radius);
        putScaled(w.struts, d.hubs[size_t(s.hubs[1])], radius);
        w.strutClasses.push_back(s.strutClass);
    }
    for (const vector3d& h : d.hubs) putScaled(w.hubs, h, radius);
    w.valences = d.valence;
    std::ostringstream out;
    writeCutList(out, d, radius, w.arguments);
    w.cutList = out.str();
    return 1;
}
EMSCRIPTEN_KEEPALIVE const char* gd_dome_problem() { return dome.problem.c_str(); }
// The report's "dome" value: null, {"problem": ...}, or the numbers for the unit sphere.
EMSCRIPTEN_KEEPALIVE const char* gd_dome_json() { return dome.json.c_str(); }
// The cut list as `geodesic-report --dome --radius R` prints it.
EMSCRIPTEN_KEEPALIVE const char* gd_dome_cut_list() { return dome.cutList.c_str(); }
EMSCRIPTEN_KEEPALIVE int gd_dome_panel_count() { return int(dome.panelClasses.size()); }
EMSCRIPTEN_KEEPALIVE int gd_dome_strut_count() { return int(dome.strutClasses.size()); }
EMSCRIPTEN_KEEPALIVE int gd_dome_hub_count() { return int(dome.valences.size()); }
// 9 floats a panel: its corners, counter-clockwise seen from outside.
EMSCRIPTEN_KEEPALIVE const float* gd_dome_positions() { return dome.positions.data(); }
// 9 floats a panel: its outward unit normal at each corner.
EMSCRIPTEN_KEEPALIVE const float* gd_dome_normals() { return dome.normals.data(); }
EMSCRIPTEN_KEEPALIVE const int* gd_dome_panel_classes() { return dome.panelClasses.data(); }
// 6 floats a strut: its two ends.
EMSCRIPTEN_KEEPALIVE const float* gd_dome_struts() { return dome.struts.data(); }
EMSCRIPTEN_KEEPALIVE const int* gd_dome_strut_classes() { return dome.strutClasses.data(); }
// 3 floats a hub; then the struts meeting at each.
EMSCRIPTEN_KEEPALIVE const float* gd_dome_hubs() { return dome.hubs.data(); }
EMSCRIPTEN_KEEPALIVE const int* gd_dome_hub_valences() { return dome.valences.data(); }

// The camera of the camera flight at animation time t: eye x, y, z, then target x, y, z.
EMSCRIPTEN_KEEPALIVE const float* gd_flight_camera(float t) {
    flightCameraAt(t, camera, camera + 3);
    return camera;
}
}
