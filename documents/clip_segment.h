// The part of a straight segment inside an axis-aligned box (Liang-Barsky),
// for the report tool's drawings, whose curves may run far beyond the part
// of the plane they show.
#pragma once

struct planePoint {
    double x, y;
};

// Shortens a-b to the part inside x0 <= x <= x1, y0 <= y <= y1; false (a and
// b unchanged) when no part is inside.
bool clipSegment(planePoint& a, planePoint& b, double x0, double y0, double x1, double y1);
