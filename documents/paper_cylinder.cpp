#include "documents/paper_cylinder.h"

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
// A page: the area that A4 (210 x 297) and Letter (215.9 x 279.4) share, with
// a margin no printer needs more of. The header holds the title, the
// instructions and a bar to check the scale by.
const double kPageWidth = 210, kPageHeight = 279.4;
const double kMargin = 10, kHeaderHeight = 33;
const double kContentLeft = kMargin, kContentTop = kMargin + kHeaderHeight;
const double kContentWidth = kPageWidth - 2 * kMargin;
const double kContentHeight = kPageHeight - kMargin - kContentTop;
const double kTab = 8;       // glue tabs' width
const double kScaleBar = 50; // its length
// Heights shown, in radii: as in the unrolled drawing, at most ten each way.
const double kMaxHalfHeight = 10, kMinHalfHeight = 1;
const double kLabelRoom = 3.5; // above a curve's top, for its name
const int kSamples = 1440;     // per curve, a quarter degree apart, with its top and bottom

const char* const kColours[2] = {"#1f5fbf", "#d9480f"}; // as the unrolled drawing's
const char* const kFont = "DejaVu Sans, Arial, Helvetica, sans-serif";

// Never "nan" (never reached: the guard keeps it out of attributes), never "-0.000".
std::string mm(double v) { return fixedDecimals(std::isfinite(v) ? v : 0, 3); }

using point = planePoint;

struct layout {
    double radius;     // D / 2
    double width;      // pi D: the sheet without its tabs
    double half;       // heights shown each way, in radii
    double height;     // 2 half radius
    int columns, rows; // pieces
    double pieceWidth, pieceHeight;
    bool clipped; // some curve runs off the sheet
    double x(double angle) const { return angle * radius; }
    double y(double h) const { return (half - h) * radius; }
};

// The height at the angle a around the axis (from +z towards +x) at which the
// plane through the centre with normal n meets the cylinder's vertical line.
double heightAt(const vector3d& n, double a) {
    return -(n[0] * std::sin(a) + n[2] * std::cos(a)) / n[1];
}
bool drawable(const circlePlane& c) {
    const double n = std::sqrt(c.normal[0] * c.normal[0] + c.normal[1] * c.normal[1] +
                               c.normal[2] * c.normal[2]);
    return c.live && n > 0 && std::fabs(c.normal[1]) >= kVerticalNormalY * n;
}
double amplitude(const vector3d& n) { return std::hypot(n[0], n[2]) / std::fabs(n[1]); }
// The angle of the curve's highest point, in [0, 2 pi).
double topAngle(const vector3d& n) {
    const double s = n[1] > 0 ? -1 : 1;
    double a = std::atan2(s * n[0], s * n[2]);
    return a < 0 ? a + 2 * kPi : a;
}

layout planLayout(const std::array<circlePlane, kCircles>& circles, double diameter) {
    layout l{};
    l.radius = diameter / 2;
    l.width = kPi * diameter;
    double highest = 0;
    for (const circlePlane& c : circles)
        if (drawable(c)) highest = std::max(highest, amplitude(c.normal));
    // Room above the highest top for its label.
    l.half = std::clamp(highest + kLabelRoom / l.radius, kMinHalfHeight, kMaxHalfHeight);
    l.clipped = highest > l.half;
    l.height = 2 * l.half * l.radius;
    // Every piece has a tab on its right, and one below when a row follows.
    l.columns = int(std::ceil(l.width / (kContentWidth - kTab) - 1e-9));
    l.rows =
        l.height <= kContentHeight ? 1 : int(std::ceil(l.height / (kContentHeight - kTab) - 1e-9));
    l.pieceWidth = l.width / l.columns;
    l.pieceHeight = l.height / l.rows;
    return l;
}

struct box {
    double x0, y0, x1, y1;
    bool contains(point p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
};

// The part of segment a-b inside the box.
bool clip(point& a, point& b, const box& r) { return clipSegment(a, b, r.x0, r.y0, r.x1, r.y1); }

// The curve on the sheet, one full turn, its top and bottom among the samples.
std::vector<point> sheetCurve(const layout& l, const vector3d& n) {
    std::vector<double> angles;
    for (int j = 0; j <= kSamples; ++j) angles.push_back(2 * kPi * j / kSamples);
    const double top = topAngle(n);
    angles.push_back(top);
    angles.push_back(top < kPi ? top + kPi : top - kPi);
    std::sort(angles.begin(), angles.end());
    std::vector<point> curve;
    for (double a : angles) curve.push_back({l.x(a), l.y(heightAt(n, a))});
    return curve;
}

// The polylines of the curve inside the box, as SVG point lists.
std::vector<std::string> runsInside(const std::vector<point>& curve, const box& r) {
    std::vector<std::string> runs;
    std::string run;
    int count = 0;
    point last{NAN, NAN};
    auto finish = [&] {
        if (count >= 2) runs.push_back(run);
        run.clear();
        count = 0;
    };
    for (size_t k = 1; k < curve.size(); ++k) {
        point a = curve[k - 1], b = curve[k];
        if (!clip(a, b, r)) {
            finish();
            continue;
        }
        if (count == 0 || std::fabs(a.x - last.x) > 1e-9 || std::fabs(a.y - last.y) > 1e-9) {
            finish();
            run = mm(a.x) + "," + mm(a.y);
            count = 1;
        }
        run += " " + mm(b.x) + "," + mm(b.y);
        last = b;
        ++count;
    }
    finish();
    return runs;
}

void text(std::ostream& out, double x, double y, double size, const std::string& s,
          const std::string& extra = "") {
    out << "    <text x=\"" << mm(x) << "\" y=\"" << mm(y) << "\" font-size=\"" << mm(size) << "\""
        << extra << ">" << s << "</text>\n";
}

void writeHeader(std::ostream& out, const layout& l, const float arguments[4], double diameter,
                 int row, int column, bool anyCurve) {
    const int page = row * l.columns + column + 1, pages = l.rows * l.columns;
    const std::string d = printed("%.6g", diameter), round = printed("%.2f", l.width);
    out << "  <g class=\"header\" font-family=\"" << kFont << "\" fill=\"#222222\">\n";
    // Lines 3.6 mm apart under the title; the widest, with the longest values
    // the tool takes, still ends inside the page's margin.
    double y = kMargin + 4;
    text(out, kMargin, y, 3.6, "Paper cylinder for a tube " + d + " mm across",
         " font-weight=\"bold\"");
    y += 4.5;
    text(out, kMargin, y, 2.8, pentagonValuesHeading(arguments));
    std::string where = "Page " + std::to_string(page) + " of " + std::to_string(pages);
    if (pages > 1)
        where += " (row " + std::to_string(row + 1) + " of " + std::to_string(l.rows) +
                 ", column " + std::to_string(column + 1) + " of " + std::to_string(l.columns) +
                 ")";
    y += 3.6;
    text(out, kMargin, y, 2.8,
         where + ". Print at 100 % (actual size); the bar below must measure " +
             printed("%.6g", kScaleBar) + " mm.");
    const std::vector<std::string> steps =
        pages == 1
            ? std::vector<std::string>{"Cut along the solid lines and fold the grey tab along the "
                                       "dashed one; roll the sheet into a tube",
                                       "π × " + d + " = " + round +
                                           " mm round and glue its left edge onto the tab, "
                                           "printed side out."}
            : std::vector<std::string>{
                  "Cut along the solid lines and fold the grey tabs along the dashed ones; glue "
                  "each piece's left edge",
                  "onto the right tab of the piece before it and each row onto the bottom tabs "
                  "above it; then roll the",
                  "strip into a tube π × " + d + " = " + round +
                      " mm round, its left edge onto the last tab, printed side out."};
    for (const std::string& step : steps) text(out, kMargin, y += 3.6, 2.8, step);
    const double legend = kMargin + kHeaderHeight - 5.5;
    text(out, kMargin + kScaleBar + 6, legend, 2.4,
         anyCurve ? "Blue: pentagon 1's planes; orange: pentagon 2's; dots: where circles meet; "
                    "grey: the equator."
                  : "No curves: no edge of either pentagon spans a plane (as at a pole).",
         " fill=\"#444444\"");
    if (l.clipped)
        text(out, kMargin + kScaleBar + 6, legend + 3, 2.4,
             "Curves higher than " + printed("%.1f", l.half * l.radius) +
                 " mm above or below the equator run off the sheet.",
             " fill=\"#a00000\"");
    out << "  </g>\n";
    // The scale bar, with end ticks.
    const double bar = legend + 1;
    out << "  <path class=\"scale-bar\" d=\"M" << mm(kMargin) << "," << mm(bar - 1.2) << " V"
        << mm(bar + 1.2) << " M" << mm(kMargin) << "," << mm(bar) << " H" << mm(kMargin + kScaleBar)
        << " M" << mm(kMargin + kScaleBar) << "," << mm(bar - 1.2) << " V" << mm(bar + 1.2)
        << "\" stroke=\"black\" stroke-width=\"0.3\" fill=\"none\"/>\n";
}

// `curves`: each circle's sheetCurve (empty where it has none).
void writePiece(std::ostream& out, const layout& l, const std::array<circlePlane, kCircles>& in,
                const std::vector<std::vector<point>>& curves, const circleIntersections& r,
                int row, int column) {
    const box piece{column * l.pieceWidth, row * l.pieceHeight, (column + 1) * l.pieceWidth,
                    (row + 1) * l.pieceHeight};
    const bool bottomTab = row + 1 < l.rows;
    out << "  <g class=\"piece\" data-row=\"" << row << "\" data-column=\"" << column
        << "\" transform=\"translate(" << mm(kContentLeft - piece.x0) << " "
        << mm(kContentTop - piece.y0) << ")\">\n";

    // Tabs: on the right of every piece, below every piece with a row under
    // it; grey, cut along their outer edges, folded where they meet the piece.
    const double slant = std::min(kTab, (piece.y1 - piece.y0) / 4);
    const double across = std::min(kTab, (piece.x1 - piece.x0) / 4);
    const std::string rightTab = "M" + mm(piece.x1) + "," + mm(piece.y0) + " L" +
                                 mm(piece.x1 + kTab) + "," + mm(piece.y0 + slant) + " L" +
                                 mm(piece.x1 + kTab) + "," + mm(piece.y1 - slant) + " L" +
                                 mm(piece.x1) + "," + mm(piece.y1);
    const std::string lowerTab = "M" + mm(piece.x0) + "," + mm(piece.y1) + " L" +
                                 mm(piece.x0 + across) + "," + mm(piece.y1 + kTab) + " L" +
                                 mm(piece.x1 - across) + "," + mm(piece.y1 + kTab) + " L" +
                                 mm(piece.x1) + "," + mm(piece.y1);
    out << "    <path class=\"tab\" d=\"" << rightTab << (bottomTab ? " " + lowerTab : "")
        << "\" fill=\"#dddddd\" stroke=\"none\"/>\n";

    // Every 30 degrees around the axis, and the equator.
    out << "    <g stroke=\"#bbbbbb\" stroke-width=\"0.15\">\n";
    for (int deg = 0; deg <= 360; deg += 30) {
        const double x = l.x(deg * kPi / 180);
        if (x < piece.x0 || x > piece.x1) continue;
        out << "      <line x1=\"" << mm(x) << "\" y1=\"" << mm(piece.y0) << "\" x2=\"" << mm(x)
            << "\" y2=\"" << mm(piece.y1) << "\"/>\n";
    }
    out << "    </g>\n";
    const double equator = l.y(0);
    if (equator >= piece.y0 && equator <= piece.y1) {
        out << "    <line class=\"equator\" x1=\"" << mm(piece.x0) << "\" y1=\"" << mm(equator)
            << "\" x2=\"" << mm(piece.x1) << "\" y2=\"" << mm(equator)
            << "\" stroke=\"#888888\" stroke-width=\"0.25\"/>\n";
        out << "    <g font-family=\"" << kFont << "\" font-size=\"2.2\" fill=\"#888888\">\n";
        for (int deg = 0; deg < 360; deg += 30) {
            const double x = l.x(deg * kPi / 180);
            if (x < piece.x0 || x + 6 > piece.x1) continue;
            out << "      <text x=\"" << mm(x + 0.6) << "\" y=\"" << mm(equator - 0.8) << "\">"
                << deg << "°</text>\n";
        }
        out << "    </g>\n";
    }

    // The curves, each pentagon in its colour, each named at its top.
    for (int p = 0; p < 2; ++p) {
        out << "    <g class=\"curves p" << p + 1 << "\" fill=\"none\" stroke=\"" << kColours[p]
            << "\" stroke-width=\"0.45\" stroke-linejoin=\"round\">\n";
        for (int c = 5 * p; c < 5 * p + 5; ++c) {
            if (!drawable(in[size_t(c)])) continue;
            for (const std::string& run : runsInside(curves[size_t(c)], piece))
                out << "      <polyline class=\"curve c" << c << "\" points=\"" << run << "\"/>\n";
        }
        out << "    </g>\n";
        out << "    <g font-family=\"" << kFont << "\" font-size=\"2.6\" fill=\"" << kColours[p]
            << "\" text-anchor=\"middle\">\n";
        for (int c = 5 * p; c < 5 * p + 5; ++c) {
            if (!drawable(in[size_t(c)])) continue;
            const vector3d& n = in[size_t(c)].normal;
            const point top{l.x(topAngle(n)), l.y(amplitude(n))};
            if (top.y < piece.y0 + 3.2 || !piece.contains(top)) continue; // room for the name
            out << "      <text x=\"" << mm(top.x) << "\" y=\"" << mm(top.y - 1.2) << "\">"
                << circleLabel(c) << "</text>\n";
        }
        out << "    </g>\n";
    }

    // Where the circles meet: every intersection's image.
    out << "    <g class=\"intersections\" fill=\"#111111\">\n";
    for (size_t k = 0; k < r.points.size(); ++k) {
        const intersectionPoint& q = r.points[k];
        if (!q.cylinder) continue;
        const vector3d& c = *q.cylinder;
        double a = std::atan2(c[0], c[2]);
        if (a < 0) a += 2 * kPi;
        const point at{l.x(a), l.y(c[1])};
        if (!piece.contains(at)) continue;
        std::string circles;
        for (int i : q.circles) circles += " " + circleLabel(i);
        out << "      <circle class=\"intersection\" cx=\"" << mm(at.x) << "\" cy=\"" << mm(at.y)
            << "\" r=\"0.7\"><title>point " << k << ": circles" << circles << "</title></circle>\n";
    }
    out << "    </g>\n";

    // The cut line: the piece's top and left edges, its bottom where no tab
    // hangs there, and the tabs' outer edges; then the folds.
    out << "    <path class=\"cut\" d=\"M" << mm(piece.x1) << "," << mm(piece.y0) << " H"
        << mm(piece.x0) << " V" << mm(piece.y1) << (bottomTab ? "" : " H" + mm(piece.x1)) << " "
        << rightTab << (bottomTab ? " " + lowerTab : "")
        << "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.3\"/>\n";
    out << "    <path class=\"fold\" d=\"M" << mm(piece.x1) << "," << mm(piece.y0) << " V"
        << mm(piece.y1);
    if (bottomTab) out << " M" << mm(piece.x0) << "," << mm(piece.y1) << " H" << mm(piece.x1);
    out << "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.25\" "
           "stroke-dasharray=\"1.5 1\"/>\n";
    out << "  </g>\n";
}
} // namespace

void writePaperCylinder(std::ostream& out, const std::array<circlePlane, kCircles>& circles,
                        const circleIntersections& r, const float arguments[4], double diameter) {
    const layout l = planLayout(circles, diameter);
    const int pages = l.rows * l.columns;
    bool anyCurve = false;
    std::vector<std::vector<point>> curves(kCircles);
    for (int c = 0; c < kCircles; ++c)
        if (drawable(circles[size_t(c)])) {
            curves[size_t(c)] = sheetCurve(l, circles[size_t(c)].normal);
            anyCurve = true;
        }

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << mm(kPageWidth)
        << "mm\" height=\"" << mm(pages * kPageHeight) << "mm\" viewBox=\"0 0 " << mm(kPageWidth)
        << " " << mm(pages * kPageHeight) << "\">\n";
    out << "  <title>Paper cylinder for a tube " << printed("%.6g", diameter)
        << " mm across</title>\n";
    // One piece to a page when a browser prints it.
    out << "  <style>@page { size: " << mm(kPageWidth) << "mm " << mm(kPageHeight)
        << "mm; margin: 0 }</style>\n";
    out << "  <rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (int row = 0; row < l.rows; ++row)
        for (int column = 0; column < l.columns; ++column) {
            const int page = row * l.columns + column;
            out << " <g class=\"page\" transform=\"translate(0 " << mm(page * kPageHeight)
                << ")\">\n";
            writeHeader(out, l, arguments, diameter, row, column, anyCurve);
            writePiece(out, l, circles, curves, r, row, column);
            out << " </g>\n";
        }
    out << "</svg>\n";
}
