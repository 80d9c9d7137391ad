#include "tools/report/intersections_text.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "mathematics/number_text.h"
#include "mathematics/pentagon_args.h"

namespace {
const int kNumberWidth = 14;

std::string right(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}
std::string left(const std::string& s, size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}
// A column of numbers, a space before each however wide (cylinder heights
// reach thousands).
std::string column(const std::string& s) { return " " + right(s, kNumberWidth - 1); }
// Nine decimals.
std::string number(double v) { return column(fixedDecimals(v, 9)); }
std::string none() { return column("none"); }
std::string length(const std::optional<double>& v) { return v ? number(*v) : none(); }

std::string labels(const std::vector<int>& circles, const char* separator = " ") {
    std::string s;
    for (size_t k = 0; k < circles.size(); ++k) s += (k ? separator : "") + circleLabel(circles[k]);
    return s;
}

std::string notes(const intersectionPoint& q) {
    std::string s;
    if (!q.corners.empty())
        s = (q.corners.size() == 1 ? "corner " : "corners ") + labels(q.corners);
    if (q.equatorCrossing) s += (s.empty() ? "" : ", ") + std::string("equator");
    return s;
}

void writePoints(std::ostream& out, const circleIntersections& intersections) {
    out << intersections.points.size() << (intersections.points.size() == 1 ? " point" : " points")
        << "\n";
    if (intersections.points.empty()) return;
    size_t circlesWidth = std::string("circles").size();
    for (const intersectionPoint& q : intersections.points)
        circlesWidth = std::max(circlesWidth, labels(q.circles).size());
    out << "point  " << left("circles", circlesWidth);
    for (const char* name :
         {"sphere x", "sphere y", "sphere z", "cylinder x", "cylinder y", "cylinder z"})
        out << column(name);
    out << "\n";
    for (size_t k = 0; k < intersections.points.size(); ++k) {
        const intersectionPoint& q = intersections.points[k];
        out << right(std::to_string(k), 5) << "  " << left(labels(q.circles), circlesWidth);
        for (double v : q.sphere) out << number(v);
        for (int a = 0; a < 3; ++a) out << (q.cylinder ? number((*q.cylinder)[a]) : none());
        const std::string n = notes(q);
        out << (n.empty() ? "" : "  " + n) << "\n";
    }
}

void writeCircle(std::ostream& out, const circleIntersections& intersections, int c) {
    const circleWalk& w = intersections.circles[c];
    const int pentagon = c / 5 + 1, edge = c % 5;
    out << "\nCircle " << circleLabel(c) << ", pentagon " << pentagon << "'s edge " << edge;
    if (!w.live) {
        out << ": its pentagon is at a pole, so it has no plane\n";
        return;
    }
    out << ", walked from corner " << circleLabel(c) << " towards corner "
        << circleLabel(5 * (pentagon - 1) + (edge + 1) % 5);
    std::vector<int> same;
    for (int d = 0; d < kCircles; ++d)
        if (d != c && intersections.circles[d].sameAs == w.sameAs) same.push_back(d);
    out << ": " << w.points.size() << (w.points.size() == 1 ? " point" : " points") << "\n";
    if (!same.empty()) out << "(the same great circle as " << labels(same, ", ") << ")\n";
    if (w.vertical)
        out << "(its plane is vertical: its curve on the cylinder runs off to infinity)\n";
    if (w.points.empty()) {
        out << "No other circle crosses it: no points, no arcs.\n";
    } else {
        out << "  arc  from    to" << column("angle") << column("chord") << column("cylinder")
            << "\n";
        for (int k = w.firstArc; k < w.firstArc + w.arcCount; ++k) {
            const circleArc& a = intersections.arcs[size_t(k)];
            out << right(std::to_string(k), 5) << right(std::to_string(a.from), 6)
                << right(std::to_string(a.to), 6) << number(a.angle) << number(a.chord)
                << length(a.cylinderLength) << "\n";
        }
        out << left("total", 17) << number(w.angleSum) << number(w.chordSum)
            << length(w.cylinderSum) << "\n";
    }
    out << left("the whole circle", 17) << number(6.283185307179586) << column("")
        << length(w.cylinderCurve) << "\n";
}
} // namespace

void writeIntersectionsText(std::ostream& out, const float arguments[4],
                            const circleIntersections& intersections) {
    out << "Intersections of the great circles: " << pentagonValuesHeading(arguments) << "\n\n";
    out << "Circle p.i is the great circle through pentagon p's edge i, walked from its\n"
           "corner i towards corner i + 1. A point's image on the cylinder x^2 + z^2 = 1\n"
           "is the point divided by sqrt(x^2 + z^2): where the ray from the centre\n"
           "through it meets the cylinder, and so where the cylinder curves of the\n"
           "circles through it cross. An arc's lengths: its angle (its length on the\n"
           "unit sphere), its chord, and the length of its image on the cylinder.\n\n";
    writePoints(out, intersections);

    out << "\nCoincident circles: ";
    if (intersections.coincident.empty()) out << "none";
    for (size_t k = 0; k < intersections.coincident.size(); ++k)
        out << (k ? ", " : "") << circleLabel(intersections.coincident[k][0]) << " = "
            << circleLabel(intersections.coincident[k][1]);
    out << "\n";
    for (int c = 0; c < kCircles; ++c) writeCircle(out, intersections, c);
}
