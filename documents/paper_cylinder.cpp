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

struct sheetLayout {
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

// One circle's curve as the sheet draws it: only circles with a plane that
// is not vertical have one.
struct sheetCurve {
    int circle;                     // 0 to 9
    vector3d normal;                // as given
    double amplitude;               // its greatest |y| (mathematics/cylinder_curve)
    std::vector<planePoint> points; // on the sheet, one full turn
};

// The height at the angle a around the axis (from +z towards +x) at which the
// plane through the centre with normal n meets the cylinder's vertical line.
double heightAt(const vector3d& n, double a) {
    return -(n[0] * std::sin(a) + n[2] * std::cos(a)) / n[1];
}
// The angle around the axis of the curve's highest point.
double topAngle(const vector3d& n) {
    const double s = n[1] > 0 ? -1 : 1;
    return angleAroundAxis(s * n[0], s * n[2]);
}

// The circles that have a curve, their points still to be placed.
std::vector<sheetCurve> drawnCurves(const std::array<circlePlane, kCircles>& circles) {
    std::vector<sheetCurve> curves;
    for (int c = 0; c < kCircles; ++c) {
        const circlePlane& circle = circles[size_t(c)];
        if (!circle.live || !(length(circle.normal) > 0)) continue;
        const cylinderCurve curve(circle.normal);
        if (!curve.vertical()) curves.push_back({c, circle.normal, curve.amplitude(), {}});
    }
    return curves;
}

sheetLayout planLayout(const std::vector<sheetCurve>& curves, double diameter) {
    sheetLayout sheet{};
    sheet.radius = diameter / 2;
    sheet.width = kPi * diameter;
    double highest = 0;
    for (const sheetCurve& curve : curves) highest = std::max(highest, curve.amplitude);
    // Room above the highest top for its label.
    sheet.half = std::clamp(highest + kLabelRoom / sheet.radius, kMinHalfHeight, kMaxHalfHeight);
    sheet.clipped = highest > sheet.half;
    sheet.height = 2 * sheet.half * sheet.radius;
    // Every piece has a tab on its right, and one below when a row follows.
    sheet.columns = int(std::ceil(sheet.width / (kContentWidth - kTab) - 1e-9));
    sheet.rows = sheet.height <= kContentHeight
                     ? 1
                     : int(std::ceil(sheet.height / (kContentHeight - kTab) - 1e-9));
    sheet.pieceWidth = sheet.width / sheet.columns;
    sheet.pieceHeight = sheet.height / sheet.rows;
    return sheet;
}

// The curve on the sheet, one full turn, its top and bottom among the samples.
std::vector<planePoint> sheetPoints(const sheetLayout& sheet, const vector3d& n) {
    std::vector<double> angles;
    for (int j = 0; j <= kSamples; ++j) angles.push_back(2 * kPi * j / kSamples);
    const double top = topAngle(n);
    angles.push_back(top);
    angles.push_back(top < kPi ? top + kPi : top - kPi);
    std::sort(angles.begin(), angles.end());
    std::vector<planePoint> points;
    for (double a : angles) points.push_back({sheet.x(a), sheet.y(heightAt(n, a))});
    return points;
}

void text(std::ostream& out, double x, double y, double size, const std::string& s,
          const std::string& extra = "") {
    out << "    <text x=\"" << mm(x) << "\" y=\"" << mm(y) << "\" font-size=\"" << mm(size) << "\""
        << extra << ">" << s << "</text>\n";
}

void writeHeader(std::ostream& out, const sheetLayout& sheet, const float arguments[4],
                 double diameter, int row, int column, bool anyCurve) {
    const int page = row * sheet.columns + column + 1, pages = sheet.rows * sheet.columns;
    const std::string d = printed("%.6g", diameter), round = printed("%.2f", sheet.width);
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
        where += " (row " + std::to_string(row + 1) + " of " + std::to_string(sheet.rows) +
                 ", column " + std::to_string(column + 1) + " of " + std::to_string(sheet.columns) +
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
    if (sheet.clipped)
        text(out, kMargin + kScaleBar + 6, legend + 3, 2.4,
             "Curves higher than " + printed("%.1f", sheet.half * sheet.radius) +
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

// One piece of the sheet: its box on the sheet, and whether a tab hangs
// below it (a row follows).
struct sheetPiece {
    planeBox box;
    bool bottomTab;
};

// The glue tabs' outlines: on the right of every piece, below every piece
// with a row under it.
struct tabOutlines {
    std::string right, lower;
};

tabOutlines tabsOf(const sheetPiece& piece) {
    const planeBox& b = piece.box;
    const double slant = std::min(kTab, (b.y1 - b.y0) / 4);
    const double across = std::min(kTab, (b.x1 - b.x0) / 4);
    return {"M" + mm(b.x1) + "," + mm(b.y0) + " L" + mm(b.x1 + kTab) + "," + mm(b.y0 + slant) +
                " L" + mm(b.x1 + kTab) + "," + mm(b.y1 - slant) + " L" + mm(b.x1) + "," + mm(b.y1),
            "M" + mm(b.x0) + "," + mm(b.y1) + " L" + mm(b.x0 + across) + "," + mm(b.y1 + kTab) +
                " L" + mm(b.x1 - across) + "," + mm(b.y1 + kTab) + " L" + mm(b.x1) + "," +
                mm(b.y1)};
}

// Every 30 degrees around the axis, and the equator with its degrees.
void writeGrid(std::ostream& out, const sheetLayout& sheet, const planeBox& piece) {
    out << "    <g stroke=\"#bbbbbb\" stroke-width=\"0.15\">\n";
    for (int deg = 0; deg <= 360; deg += 30) {
        const double x = sheet.x(deg * kPi / 180);
        if (x < piece.x0 || x > piece.x1) continue;
        out << "      <line x1=\"" << mm(x) << "\" y1=\"" << mm(piece.y0) << "\" x2=\"" << mm(x)
            << "\" y2=\"" << mm(piece.y1) << "\"/>\n";
    }
    out << "    </g>\n";
    const double equator = sheet.y(0);
    if (equator < piece.y0 || equator > piece.y1) return;
    out << "    <line class=\"equator\" x1=\"" << mm(piece.x0) << "\" y1=\"" << mm(equator)
        << "\" x2=\"" << mm(piece.x1) << "\" y2=\"" << mm(equator)
        << "\" stroke=\"#888888\" stroke-width=\"0.25\"/>\n";
    out << "    <g font-family=\"" << kFont << "\" font-size=\"2.2\" fill=\"#888888\">\n";
    for (int deg = 0; deg < 360; deg += 30) {
        const double x = sheet.x(deg * kPi / 180);
        if (x < piece.x0 || x + 6 > piece.x1) continue;
        out << "      <text x=\"" << mm(x + 0.6) << "\" y=\"" << mm(equator - 0.8) << "\">" << deg
            << "°</text>\n";
    }
    out << "    </g>\n";
}

// The curves, each pentagon in its colour, each named at its top.
void writeCurves(std::ostream& out, const sheetLayout& sheet, const planeBox& piece,
                 const std::vector<sheetCurve>& curves) {
    const auto same = [](planePoint p) { return p; };
    for (int p = 0; p < 2; ++p) {
        out << "    <g class=\"curves p" << p + 1 << "\" fill=\"none\" stroke=\"" << kColours[p]
            << "\" stroke-width=\"0.45\" stroke-linejoin=\"round\">\n";
        for (const sheetCurve& curve : curves) {
            if (curve.circle / 5 != p) continue;
            for (const std::string& run : clippedRuns(curve.points, piece, same, mm))
                out << "      <polyline class=\"curve c" << curve.circle << "\" points=\"" << run
                    << "\"/>\n";
        }
        out << "    </g>\n";
        out << "    <g font-family=\"" << kFont << "\" font-size=\"2.6\" fill=\"" << kColours[p]
            << "\" text-anchor=\"middle\">\n";
        for (const sheetCurve& curve : curves) {
            if (curve.circle / 5 != p) continue;
            const planePoint top{sheet.x(topAngle(curve.normal)), sheet.y(curve.amplitude)};
            if (top.y < piece.y0 + 3.2 || !piece.contains(top)) continue; // room for the name
            out << "      <text x=\"" << mm(top.x) << "\" y=\"" << mm(top.y - 1.2) << "\">"
                << circleLabel(curve.circle) << "</text>\n";
        }
        out << "    </g>\n";
    }
}

// Where the circles meet: every intersection's image.
void writeIntersections(std::ostream& out, const sheetLayout& sheet, const planeBox& piece,
                        const circleIntersections& intersections) {
    out << "    <g class=\"intersections\" fill=\"#111111\">\n";
    for (size_t k = 0; k < intersections.points.size(); ++k) {
        const intersectionPoint& q = intersections.points[k];
        if (!q.cylinder) continue;
        const vector3d& c = *q.cylinder;
        const planePoint at{sheet.x(angleAroundAxis(c[0], c[2])), sheet.y(c[1])};
        if (!piece.contains(at)) continue;
        std::string circles;
        for (int i : q.circles) circles += " " + circleLabel(i);
        out << "      <circle class=\"intersection\" cx=\"" << mm(at.x) << "\" cy=\"" << mm(at.y)
            << "\" r=\"0.7\"><title>point " << k << ": circles" << circles << "</title></circle>\n";
    }
    out << "    </g>\n";
}

// The cut line: the piece's top and left edges, its bottom where no tab
// hangs there, and the tabs' outer edges; then the folds.
void writeCutAndFolds(std::ostream& out, const sheetPiece& piece, const tabOutlines& tabs) {
    const planeBox& b = piece.box;
    const std::string tabEdges = tabs.right + (piece.bottomTab ? " " + tabs.lower : "");
    out << "    <path class=\"cut\" d=\"M" << mm(b.x1) << "," << mm(b.y0) << " H" << mm(b.x0)
        << " V" << mm(b.y1) << (piece.bottomTab ? "" : " H" + mm(b.x1)) << " " << tabEdges
        << "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.3\"/>\n";
    out << "    <path class=\"fold\" d=\"M" << mm(b.x1) << "," << mm(b.y0) << " V" << mm(b.y1);
    if (piece.bottomTab) out << " M" << mm(b.x0) << "," << mm(b.y1) << " H" << mm(b.x1);
    out << "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.25\" "
           "stroke-dasharray=\"1.5 1\"/>\n";
}

void writePiece(std::ostream& out, const sheetLayout& sheet, const std::vector<sheetCurve>& curves,
                const circleIntersections& intersections, int row, int column) {
    const sheetPiece piece{{column * sheet.pieceWidth, row * sheet.pieceHeight,
                            (column + 1) * sheet.pieceWidth, (row + 1) * sheet.pieceHeight},
                           row + 1 < sheet.rows};
    out << "  <g class=\"piece\" data-row=\"" << row << "\" data-column=\"" << column
        << "\" transform=\"translate(" << mm(kContentLeft - piece.box.x0) << " "
        << mm(kContentTop - piece.box.y0) << ")\">\n";
    // Tabs are grey, cut along their outer edges, folded where they meet the piece.
    const tabOutlines tabs = tabsOf(piece);
    out << "    <path class=\"tab\" d=\"" << tabs.right << (piece.bottomTab ? " " + tabs.lower : "")
        << "\" fill=\"#dddddd\" stroke=\"none\"/>\n";
    writeGrid(out, sheet, piece.box);
    writeCurves(out, sheet, piece.box, curves);
    writeIntersections(out, sheet, piece.box, intersections);
    writeCutAndFolds(out, piece, tabs);
    out << "  </g>\n";
}
} // namespace

void writePaperCylinder(std::ostream& out, const std::array<circlePlane, kCircles>& circles,
                        const circleIntersections& intersections, const float arguments[4],
                        double diameter) {
    std::vector<sheetCurve> curves = drawnCurves(circles);
    const sheetLayout sheet = planLayout(curves, diameter);
    for (sheetCurve& curve : curves) curve.points = sheetPoints(sheet, curve.normal);
    const int pages = sheet.rows * sheet.columns;

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
    for (int row = 0; row < sheet.rows; ++row)
        for (int column = 0; column < sheet.columns; ++column) {
            const int page = row * sheet.columns + column;
            out << " <g class=\"page\" transform=\"translate(0 " << mm(page * kPageHeight)
                << ")\">\n";
            writeHeader(out, sheet, arguments, diameter, row, column, !curves.empty());
            writePiece(out, sheet, curves, intersections, row, column);
            out << " </g>\n";
        }
    out << "</svg>\n";
}
