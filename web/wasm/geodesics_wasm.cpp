// The web page's entry points into the project's own mathematics: the four
// values read by mathematics/pentagon_args, every quantity of the figure from
// mathematics/figure_samples, the value report of support/tholix_print_values,
// the camera flight of mathematics/camera_flight, the scene's constants, and
// the dome of mathematics/dome with its cut list. Plain C functions over
// buffers in the module's memory; web/src/geodesics.js wraps them. Nothing here computes geometry
// itself: it only lays out what those modules compute.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "mathematics/camera_flight.h"
#include "mathematics/dome.h"
#include "mathematics/dome_report.h"
#include "mathematics/figure_samples.h"
#include "mathematics/pentagon_args.h"
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
    FIELD(arguments),      FIELD(sampleAngles),   FIELD(height),        FIELD(longitude),
    FIELD(polarAngle),     FIELD(reportLatitude), FIELD(longAngles),    FIELD(reportLongitudes),
    FIELD(normals),        FIELD(unitNormals),    FIELD(normalWasZero), FIELD(alongEdge),
    FIELD(crossingAngles), FIELD(corners),        FIELD(crossings),     FIELD(greatCircles),
    FIELD(cylinderCurves),
};
#undef FIELD

webFigure figure;
float parsedValue;
std::string message;
std::string report;
float camera[6];

void put3(float* to, const float* from) { std::memcpy(to, from, 3 * sizeof(float)); }

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
// (gd_dome_problem says which). The
// arrays below stay valid until the next call.
EMSCRIPTEN_KEEPALIVE int gd_dome_build(float lat1, float long1, float lat2, float long2,
                                       double radius) {
    webDome& w = dome;
    w = webDome{};
    if (!(radius > 0 && radius <= 1e30)) {
        w.problem = "the radius must be a positive number";
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
