#include "documents/svg_report.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "documents/clip_segment.h"
#include "mathematics/number_text.h"
#include "mathematics/pentagon_args.h"
#include "mathematics/vector3.h"

namespace {
// Page and plot area, in pixels.
const double kWidth = 1000, kHeight = 600;
const double kPlotLeft = 80, kPlotTop = 84, kPlotWidth = 620, kPlotHeight = 440;
const double kLegendLeft = 728;

// Curves of nearly collapsed pentagons reach heights in the thousands; beyond
// this half-range the plot would show nothing but steep lines, so it is capped.
const double kMaxHalfRange = 10;
const double kMinHalfRange = 1.2; // keeps the sphere's own height range in view

const char* const kColours[2] = {"#1f5fbf", "#d9480f"}; // pentagon 1 blue, pentagon 2 orange
const char* const kFont = "DejaVu Sans, Arial, Helvetica, sans-serif";

// Coordinates are finite by construction; the guard keeps a mistake from ever
// writing "nan" into an attribute.
std::string px(double v) { return fixedDecimals(std::isfinite(v) ? v : 0, 2); }

struct dataPoint {
    double angle; // degrees, 0 to 360
    double height;
};

struct plotFrame {
    double half; // heights shown: -half to half

    double x(double degrees) const { return kPlotLeft + degrees / 360.0 * kPlotWidth; }
    double y(double height) const { return kPlotTop + (half - height) / (2 * half) * kPlotHeight; }
    bool contains(double height) const { return std::fabs(height) <= half; }
};

// The angle around the axis (mathematics/vector3.h) of a horizontal direction
// (x, z), in degrees, [0, 360).
double aroundAxis(double x, double z) { return angleAroundAxis(x, z) * 180.0 / kPi; }

// The unrolled curve of one edge: the samples, closed with the first sample
// again at 360 degrees as the figure's line loop closes it.
std::vector<dataPoint> unrolledCurve(const edgeSamples& e, const std::vector<float>& steps) {
    std::vector<dataPoint> c;
    for (size_t j = 0; j < steps.size(); ++j)
        c.push_back({steps[j] * 180.0 / kPi, e.cylinderCurve[j][1]});
    if (!c.empty()) c.push_back({360.0, c.front().height});
    return c;
}

// The corner seen from the sphere's centre lands on the cylinder where the
// curves of its two edges meet: at its own angle, at the height edge i's
// plane has there.
bool cornerMark(const pentagonSamples& p, int i, dataPoint& mark) {
    const point3& c = p.corners[i];
    if (std::hypot(c[0], c[2]) < 1e-6) return false; // at a pole: no direction around the axis
    const edgeSamples& e = p.edges[i];
    const double deg = aroundAxis(c[0], c[2]);
    mark = {deg, cylinderHeight(e.normal[0], e.normal[1], e.normal[2], float(deg * kPi / 180.0))};
    return std::isfinite(mark.height);
}

double niceStep(double range, int wanted) {
    const double raw = range / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0})
        if (raw <= m * magnitude) return m * magnitude;
    return 10 * magnitude;
}

struct fit {
    double half;
    bool clipped;      // some height lies beyond the range shown
    bool undefined[2]; // a pentagon whose planes meet the cylinder nowhere
};

fit fitHeights(const figureSamples& figure) {
    double largest = 0;
    bool nonFinite = false; // a gap in a curve that is otherwise drawn
    fit result{0, false, {false, false}};
    for (int p = 0; p < 2; ++p) {
        const pentagonSamples& pent = figure.pentagons[p];
        largest = std::max(largest, double(std::fabs(pent.height)));
        int finiteCurves = 0;
        bool gaps = false;
        for (const edgeSamples& e : pent.edges) {
            bool any = false;
            for (const point3& s : e.cylinderCurve) {
                if (std::isfinite(s[1])) {
                    largest = std::max(largest, double(std::fabs(s[1])));
                    any = true;
                } else {
                    gaps = true;
                }
            }
            finiteCurves += any;
        }
        result.undefined[p] = finiteCurves == 0;
        nonFinite = nonFinite || (gaps && !result.undefined[p]);
    }
    double half = std::clamp(largest * 1.08, kMinHalfRange, kMaxHalfRange);
    const double step = niceStep(2 * half, 8);
    half = std::min(std::ceil(half / step - 1e-9) * step, kMaxHalfRange);
    result.half = half;
    result.clipped = largest > half || nonFinite;
    return result;
}

void writeGridAndAxes(std::ostream& out, const plotFrame& frame) {
    out << "  <g stroke=\"#e3e3e3\" stroke-width=\"1\">\n";
    for (int deg = 0; deg <= 360; deg += 30)
        out << "    <line x1=\"" << px(frame.x(deg)) << "\" y1=\"" << px(kPlotTop) << "\" x2=\""
            << px(frame.x(deg)) << "\" y2=\"" << px(kPlotTop + kPlotHeight) << "\"/>\n";
    const double step = niceStep(2 * frame.half, 8);
    std::vector<double> ticks;
    for (double v = -std::floor(frame.half / step + 1e-9) * step; v <= frame.half + 1e-9; v += step)
        ticks.push_back(std::fabs(v) < step * 1e-6 ? 0.0 : v);
    for (double v : ticks)
        out << "    <line x1=\"" << px(kPlotLeft) << "\" y1=\"" << px(frame.y(v)) << "\" x2=\""
            << px(kPlotLeft + kPlotWidth) << "\" y2=\"" << px(frame.y(v)) << "\"/>\n";
    out << "  </g>\n";

    // The equator, where every great circle crosses.
    out << "  <line x1=\"" << px(kPlotLeft) << "\" y1=\"" << px(frame.y(0)) << "\" x2=\""
        << px(kPlotLeft + kPlotWidth) << "\" y2=\"" << px(frame.y(0))
        << "\" stroke=\"#8a8a8a\" stroke-width=\"1\"/>\n";
    out << "  <rect x=\"" << px(kPlotLeft) << "\" y=\"" << px(kPlotTop) << "\" width=\""
        << px(kPlotWidth) << "\" height=\"" << px(kPlotHeight)
        << "\" fill=\"none\" stroke=\"#444444\" stroke-width=\"1\"/>\n";

    out << "  <g font-family=\"" << kFont << "\" font-size=\"12\" fill=\"#333333\">\n";
    for (int deg = 0; deg <= 360; deg += 30)
        out << "    <text x=\"" << px(frame.x(deg)) << "\" y=\"" << px(kPlotTop + kPlotHeight + 17)
            << "\" text-anchor=\"middle\">" << deg << "°</text>\n";
    for (double v : ticks)
        out << "    <text x=\"" << px(kPlotLeft - 8) << "\" y=\"" << px(frame.y(v) + 4)
            << "\" text-anchor=\"end\">" << printed("%g", v) << "</text>\n";
    out << "    <text x=\"" << px(kPlotLeft + kPlotWidth / 2) << "\" y=\""
        << px(kPlotTop + kPlotHeight + 40)
        << "\" text-anchor=\"middle\" font-size=\"13\">angle around the axis, from +z towards +x "
           "(degrees)</text>\n";
    const double midY = kPlotTop + kPlotHeight / 2;
    out << "    <text x=\"24\" y=\"" << px(midY) << "\" text-anchor=\"middle\" font-size=\"13\" "
        << "transform=\"rotate(-90 24 " << px(midY) << ")\">height on the cylinder (y)</text>\n";
    out << "  </g>\n";
}

// The visible pieces of one unrolled curve as polylines' point lists: clipped
// to the plot in degrees and heights, written in pixels.
std::vector<std::string> visibleRuns(const plotFrame& frame, const std::vector<dataPoint>& curve) {
    std::vector<planePoint> points;
    for (const dataPoint& p : curve) points.push_back({p.angle, p.height});
    return clippedRuns(
        points, {0, -frame.half, 360, frame.half},
        [&](planePoint p) {
            return planePoint{frame.x(p.x), frame.y(p.y)};
        },
        px);
}

void writeCurves(std::ostream& out, const plotFrame& frame, const figureSamples& figure, int p) {
    out << "  <g class=\"curves p" << p + 1 << "\" fill=\"none\" stroke=\"" << kColours[p]
        << "\" stroke-width=\"1.6\" stroke-linejoin=\"round\">\n";
    for (const edgeSamples& e : figure.pentagons[p].edges)
        for (const std::string& run : visibleRuns(frame, unrolledCurve(e, figure.sampleAngles)))
            out << "    <polyline points=\"" << run << "\"/>\n";
    out << "  </g>\n";
}

// Edge numbers at each curve's highest visible point, with a white halo that
// keeps them legible where other curves pass.
void writeEdgeLabels(std::ostream& out, const plotFrame& frame, const figureSamples& figure,
                     int p) {
    out << "  <g font-family=\"" << kFont << "\" font-size=\"11\" fill=\"" << kColours[p]
        << "\" text-anchor=\"middle\" stroke=\"white\" stroke-width=\"3\" "
        << "paint-order=\"stroke\">\n";
    for (int i = 0; i < 5; ++i) {
        const std::vector<dataPoint> curve =
            unrolledCurve(figure.pentagons[p].edges[i], figure.sampleAngles);
        const dataPoint* top = nullptr;
        double lowest = INFINITY;
        for (size_t k = 0; k + 1 < curve.size(); ++k) {
            if (!std::isfinite(curve[k].height)) continue;
            lowest = std::min(lowest, curve[k].height);
            if (!top || curve[k].height > top->height) top = &curve[k];
        }
        // A flat curve (the plane is the equator's) has no peak to name.
        const bool flat = top && top->height - lowest < frame.half * 0.01;
        if (top && !flat && frame.contains(top->height) && top->height < frame.half * 0.95)
            out << "    <text x=\"" << px(frame.x(top->angle)) << "\" y=\""
                << px(frame.y(top->height) - 6) << "\">" << p + 1 << "." << i << "</text>\n";
    }
    out << "  </g>\n";
}

void writeMarks(std::ostream& out, const plotFrame& frame, const figureSamples& figure, int p) {
    const pentagonSamples& pent = figure.pentagons[p];
    const char* colour = kColours[p];
    // Pentagon 1's crossings are drawn larger and hollow: with equal
    // longitudes both pentagons cross the equator at the same points.
    const double r = p == 0 ? 6.5 : 3.5;
    for (const edgeSamples& e : pent.edges) {
        if (e.basis.normalWasZero) continue;
        for (const point3& q : e.crossings) {
            if (!std::isfinite(q[0]) || !std::isfinite(q[2]) || std::hypot(q[0], q[2]) < 1e-6)
                continue;
            const double cx = frame.x(aroundAxis(q[0], q[2])), cy = frame.y(0);
            out << "  <path class=\"crossing p" << p + 1 << "\" d=\"M" << px(cx) << ","
                << px(cy - r) << " L" << px(cx + r) << "," << px(cy) << " L" << px(cx) << ","
                << px(cy + r) << " L" << px(cx - r) << "," << px(cy) << " Z\" fill=\""
                << (p == 0 ? "white" : colour) << "\" stroke=\"" << colour
                << "\" stroke-width=\"1.5\"/>\n";
        }
    }
    for (int i = 0; i < 5; ++i) {
        dataPoint m;
        if (!cornerMark(pent, i, m) || !frame.contains(m.height)) continue;
        out << "  <circle class=\"corner p" << p + 1 << "\" cx=\"" << px(frame.x(m.angle))
            << "\" cy=\"" << px(frame.y(m.height)) << "\" r=\"4.5\" fill=\"" << colour
            << "\" stroke=\"white\" stroke-width=\"1.5\"/>\n";
    }
}

// Every intersection's image, small and dark above the other marks, so that a
// corner or an equator crossing that is also one shows it. Each names its
// point and circles for a reader that shows titles. Returns how many could
// not be drawn: beyond the heights shown, or at a pole.
int writeIntersectionMarks(std::ostream& out, const plotFrame& frame,
                           const circleIntersections& intersections) {
    int hidden = 0;
    out << "  <g class=\"intersections\" fill=\"#111111\" stroke=\"white\" "
        << "stroke-width=\"0.8\">\n";
    for (size_t k = 0; k < intersections.points.size(); ++k) {
        const intersectionPoint& q = intersections.points[k];
        if (!q.cylinder || !frame.contains((*q.cylinder)[1])) {
            ++hidden;
            continue;
        }
        const vector3d& c = *q.cylinder;
        std::string circles;
        for (int i : q.circles) circles += " " + circleLabel(i);
        out << "    <circle class=\"intersection\" cx=\"" << px(frame.x(aroundAxis(c[0], c[2])))
            << "\" cy=\"" << px(frame.y(c[1])) << "\" r=\"2.6\"><title>point " << k << ": circles"
            << circles << "</title></circle>\n";
    }
    out << "  </g>\n";
    return hidden;
}

struct intersectionCount {
    size_t all;
    int hidden;
};

void writeLegend(std::ostream& out, const figureSamples& figure, const fit& heights,
                 const intersectionCount* intersections) {
    double y = kPlotTop + 4;
    out << "  <g font-family=\"" << kFont << "\" font-size=\"12\" fill=\"#222222\">\n";
    for (int p = 0; p < 2; ++p) {
        const pentagonSamples& pent = figure.pentagons[p];
        out << "    <rect x=\"" << px(kLegendLeft) << "\" y=\"" << px(y) << "\" width=\"28\" "
            << "height=\"10\" fill=\"" << kColours[p] << "\"/>\n";
        out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 10)
            << "\" font-weight=\"bold\">Pentagon " << p + 1 << "</text>\n";
        out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 27) << "\">height "
            << pentagonValueText(pent.height) << "</text>\n";
        out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 43)
            << "\">longitude " << pentagonValueText(pent.longitude) << "</text>\n";
        if (heights.undefined[p])
            out << "    <text class=\"pole p" << p + 1 << "\" x=\"" << px(kLegendLeft + 36)
                << "\" y=\"" << px(y + 59) << "\" fill=\"#a00000\">at a pole: no curves</text>\n";
        y += heights.undefined[p] ? 80 : 64;
    }
    y += 8;
    out << "    <circle cx=\"" << px(kLegendLeft + 14) << "\" cy=\"" << px(y) << "\" r=\"4.5\" "
        << "fill=\"#555555\" stroke=\"white\" stroke-width=\"1.5\"/>\n";
    out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 4)
        << "\">corner, seen from the centre</text>\n";
    y += 22;
    out << "    <path d=\"M" << px(kLegendLeft + 14) << "," << px(y - 6.5) << " l6.5,6.5 l-6.5,6.5 "
        << "l-6.5,-6.5 Z\" fill=\"white\" stroke=\"#555555\" stroke-width=\"1.5\"/>\n";
    out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 4)
        << "\">equator crossing</text>\n";
    if (intersections) {
        y += 22;
        out << "    <circle cx=\"" << px(kLegendLeft + 14) << "\" cy=\"" << px(y) << "\" r=\"2.6\" "
            << "fill=\"#111111\" stroke=\"white\" stroke-width=\"0.8\"/>\n";
        out << "    <text x=\"" << px(kLegendLeft + 36) << "\" y=\"" << px(y + 4)
            << "\">intersection of circles (" << intersections->all << ")</text>\n";
        if (intersections->hidden > 0) {
            y += 18;
            out << "    <text class=\"hidden-intersections\" x=\"" << px(kLegendLeft + 36)
                << "\" y=\"" << px(y + 4) << "\" fill=\"#a00000\">" << intersections->hidden
                << " off the heights shown or at a pole</text>\n";
        }
    }
    y += 22;
    out << "    <text x=\"" << px(kLegendLeft) << "\" y=\"" << px(y + 4)
        << "\">p.i: the plane of pentagon p's edge i</text>\n";
    if (heights.clipped) {
        y += 22;
        out << "    <text x=\"" << px(kLegendLeft) << "\" y=\"" << px(y + 4)
            << "\" fill=\"#a00000\">heights beyond ±" << printed("%g", heights.half)
            << " not shown</text>\n";
    }
    out << "  </g>\n";
}
} // namespace

void writeSvgReport(std::ostream& out, const figureSamples& figure,
                    const circleIntersections* intersections) {
    const fit heights = fitHeights(figure);
    const plotFrame frame{heights.half};

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
        << kHeight << "\" viewBox=\"0 0 " << kWidth << " " << kHeight << "\">\n";
    out << "  <title>Great-circle planes of two pentagons on the unrolled cylinder</title>\n";
    out << "  <rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    out << "  <text x=\"" << px(kPlotLeft) << "\" y=\"32\" font-family=\"" << kFont
        << "\" font-size=\"18\" font-weight=\"bold\" fill=\"#222222\">"
        << "Great-circle planes of two pentagons on the unrolled cylinder x² + z² = 1</text>\n";
    out << "  <text x=\"" << px(kPlotLeft) << "\" y=\"56\" font-family=\"" << kFont
        << "\" font-size=\"13\" fill=\"#444444\">" << pentagonValuesHeading(figure.arguments, "   ")
        << "   (heights of the corners; longitudes of corner 0 in radians)</text>\n";

    writeGridAndAxes(out, frame);
    for (int p = 0; p < 2; ++p) {
        writeCurves(out, frame, figure, p);
        writeEdgeLabels(out, frame, figure, p);
    }
    for (int p = 0; p < 2; ++p) writeMarks(out, frame, figure, p);
    if (intersections) {
        const intersectionCount count{intersections->points.size(),
                                      writeIntersectionMarks(out, frame, *intersections)};
        writeLegend(out, figure, heights, &count);
    } else {
        writeLegend(out, figure, heights, nullptr);
    }
    out << "</svg>\n";
}
