// Every point where the figure's ten great circles meet, and the lengths
// between neighbouring points along each circle: on the unit sphere (the
// arc's angle and its chord) and along the curve the circle's plane cuts on
// the unit cylinder x^2 + z^2 = 1 (mathematics/cylinder_curve). Circles are
// numbered 0-9, c = 5 (pentagon - 1) + edge; edge e joins corner e to corner
// e + 1 (mod 5), and its circle is walked from the first towards the second.
// The planes are the figure's own (the single-precision edge normals of
// mathematics/geodesic_math); everything after them is double precision.
// Radians, y up, longitudes from +x towards +z.
//
// Laid out for building on: the points are the vertices of the circles'
// arrangement on the sphere, and the arcs of the circles with sameAs == c
// are its edges, each once (coincident circles list the same arcs).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "mathematics/cylinder_curve.h"

const int kCircles = 10;
// Circles whose unit normals have |n_a x n_b| below this are one circle
// (equal or opposite normals: the same pentagon twice, a pentagon on the
// equator, two pentagons with antipodal corners).
const double kCoincidentSine = 1e-6;
// Points closer than this are one point, which lists every circle through it.
const double kSamePoint = 1e-6;
// A point nearer the axis than this, sqrt(x^2 + z^2), is at a pole and has no
// image on the cylinder (only vertical planes pass there).
const double kPoleDistance = 1e-9;

// One great circle as given.
struct circlePlane {
    bool live = false; // false: no plane (its pentagon is at a pole)
    vector3d normal{}; // of any length above 0; the walk goes along normal x start
    vector3d start{};  // the circle's first corner, where its walk starts
};

// The figure's ten circles for the four values LAT1 LONG1 LAT2 LONG2 (see
// mathematics/pentagon_args): the normals exactly as the figure computes them
// (corner e x corner e + 1 in single precision), none for a pentagon at a
// pole (mathematics/geodesic_math's pentagonAtAPole).
std::array<circlePlane, kCircles> figureCircles(float lat1, float long1, float lat2, float long2);

struct intersectionPoint {
    vector3d sphere;                  // on the unit sphere
    std::optional<vector3d> cylinder; // sphere / sqrt(x^2 + z^2); none at a pole
    double longitude;                 // [0, 2 pi), from +x towards +z; 0 at a pole
    double polarAngle;                // [0, pi], from +y
    std::vector<int> circles;         // every circle through it, ascending: two or more
    std::vector<int> corners;         // the pentagon corners it is, 5 (pentagon - 1) + i, ascending
    bool equatorCrossing;             // within kSamePoint of the equator
};

struct circleArc {
    int circle;
    int from, to;                         // indices of points, in the circle's direction of travel
    double angle;                         // its length on the unit sphere, in (0, 2 pi)
    double chord;                         // the straight distance from `from` to `to`
    std::optional<double> cylinderLength; // between the two images; none for a vertical plane
};

struct circleWalk {
    bool live = false;
    int sameAs = -1;                // the lowest-numbered circle coincident with it, itself if
                                    // none; -1 when not live
    vector3d unitNormal{};          // the plane used: sameAs's, turned to this circle's direction
    bool vertical = false;          // |n_y| < kVerticalNormalY: no cylinder lengths
    std::vector<int> points;        // in its direction of travel, from its first corner on
    int firstArc = 0, arcCount = 0; // arcs[firstArc] ...; one per point (none without points)
    // The checks: the angles add up to 2 pi, the cylinder lengths to the
    // whole curve's length, which is computed on its own (none when vertical).
    double angleSum = 0, chordSum = 0;
    std::optional<double> cylinderSum, cylinderCurve;
};

struct circleIntersections {
    std::array<circleWalk, kCircles> circles;
    // Ordered by the first pair of circles (a < b) that meet there, the
    // northern one of each pair first (on the equator: greater x, then z).
    std::vector<intersectionPoint> points;
    std::vector<std::array<int, 2>> coincident; // pairs a < b, in order
    std::vector<circleArc> arcs;                // circle by circle
};

// Coincidence is taken transitively: each circle's group is every circle
// linked to it by a chain of coincident pairs, and all pairs within a group
// are listed. Points come from the pairs of groups.
circleIntersections computeIntersections(const std::array<circlePlane, kCircles>& circles);
circleIntersections computeIntersections(float lat1, float long1, float lat2, float long2);

// "p.i", circle c as the SVG report's labels name it (pentagon p's edge i).
std::string circleLabel(int c);
