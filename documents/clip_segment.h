// Curves clipped to a box, for the SVG drawings (documents/svg_report,
// documents/paper_cylinder), whose curves may run far beyond the part of the
// plane they show: one segment (Liang-Barsky), and a whole polyline as the
// runs a drawing writes.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct planePoint {
    double x, y;
};

// x0 <= x <= x1, y0 <= y <= y1.
struct planeBox {
    double x0, y0, x1, y1;
    bool contains(planePoint p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
};

// Shortens a-b to the part inside `box`; false (a and b unchanged) when no
// part is inside.
bool clipSegment(planePoint& a, planePoint& b, const planeBox& box);

// The pieces of the polyline `curve` inside `box`, each as the points list of
// an SVG polyline ("x,y x,y ..."): every segment clipped, then taken to the
// page by `toPage` and written by `number`; a piece ends where the curve
// leaves the box or a point is not finite, and one of fewer than two points
// is left out.
std::vector<std::string> clippedRuns(const std::vector<planePoint>& curve, const planeBox& box,
                                     const std::function<planePoint(planePoint)>& toPage,
                                     std::string (*number)(double));
