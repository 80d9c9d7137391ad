// The dome the ten great circles build: the arrangement they cut the unit
// sphere into (vertices: the circles' intersections; edges: the arcs between
// neighbouring ones; faces: the regions), and on it a polyhedron of flat
// triangular panels with its struts and hubs, grouped as a builder's cut list
// groups them. Unit sphere, radians, y up; a dome of radius R is this one
// scaled by R. Faces and panels run counter-clockwise seen from outside.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "mathematics/intersections.h"

// Struts whose lengths agree to within this (of the radius) are one class.
const double kSameStrutLength = 1e-6;

// The circles' arrangement on the sphere. Vertices are the intersections'
// points, in their order. Each edge is one arc of one circle (a circle
// coincident with a lower-numbered one adds none), from `from` to `to` in the
// circle's direction of travel.
struct arrangementEdge {
    int circle;              // the lowest-numbered of its coincident circles
    int arc;                 // index in circleIntersections::arcs
    int from, to;            // vertices
    int leftFace, rightFace; // seen from outside, walking from `from` to `to`
};

struct arrangementFace {
    std::vector<int> corners; // vertices, counter-clockwise seen from outside
    std::vector<int> edges;   // edges[k] joins corners[k] to corners[k + 1] (mod size)
};

struct circleArrangement {
    std::vector<vector3d> vertices; // on the unit sphere
    std::vector<arrangementEdge> edges;
    std::vector<arrangementFace> faces;
    // Empty when the arrangement is sound: V - E + F = 2, every edge between
    // two different faces, every face with three corners or more. Otherwise
    // what is wrong, one line; the faces are then not to be used.
    std::string problem;
};

// Faces are found by walking the graph: at each vertex its edges in their
// angular order around the outward normal, each face continuing along the
// edge that comes next clockwise after the one it arrived by.
circleArrangement arrangeCircles(const circleIntersections& intersections);

// A straight strut between two hubs: the chord of an arrangement edge, or a
// spoke from a face's centre hub to one of its corners.
struct domeStrut {
    std::array<int, 2> hubs; // an edge's from and to; a spoke's centre hub, then the corner
    bool spoke;
    double length;  // on the unit sphere: the chord factor
    int strutClass; // index in geodesicDome::strutClasses
    // At each end, the angle between the strut and the plane tangent to the
    // sphere at that hub, asin(length / 2): measured against the hub's axis by
    // the geodome vector_separation_3d, in single precision (1e-7; 6e-5 for a
    // strut near a diameter).
    std::array<double, 2> bend;
};

// A flat triangular panel: a triangular face, or one of the triangles a centre
// hub's spokes cut a larger face into (hub, corner k, corner k + 1).
struct domePanel {
    std::array<int, 3> hubs;   // counter-clockwise seen from outside
    std::array<int, 3> struts; // struts[k] joins hubs[k] to hubs[k + 1] (mod 3)
    // At hubs[k], radians, from the three struts' lengths by the geodome
    // triangle_arccos: single precision, within 1e-7 where the sides are of
    // one size; beside a side under 1e-3 of the others, up to 0.2 degrees off.
    std::array<double, 3> angles;
    int face;
    int panelClass; // index in geodesicDome::panelClasses
};

struct strutClass {
    std::string letter; // "A", "B", ... "Z", "AA", "AB", ... from the shortest
    double length;      // the mean of its struts' lengths, unit sphere
    double bend;        // at either end, radians
    int count, spokes;  // struts, and how many of them are spokes
};

struct hubClass {
    int valence; // struts meeting at the hub
    int count;
};

struct panelClass {
    std::array<int, 3> strutClasses; // ascending
    std::array<double, 3> angles;    // opposite each of those struts, radians
    int count;
};

struct faceSize {
    int corners;
    int count;
};

enum class domeStatus {
    built,
    noVertex, // the circles meet nowhere (both pentagons at a pole, or all one circle)
    failed    // the arrangement or the panels failed a check: see `problem`
};

struct geodesicDome {
    domeStatus status = domeStatus::noVertex;
    std::string problem; // failed: what went wrong, one line
    circleArrangement arrangement;
    // Every hub on the unit sphere: the arrangement's vertices (same indices),
    // then the centre hubs of the faces that are not triangles, in face order.
    std::vector<vector3d> hubs;
    std::vector<int> valence;             // struts at each hub
    std::vector<int> centreHub;           // of each face; -1 for a triangle
    std::vector<domeStrut> struts;        // the edges' chords (edge order), then the spokes
    std::vector<domePanel> panels;        // face by face
    std::vector<strutClass> strutClasses; // ascending length
    std::vector<hubClass> hubClasses;     // ascending valence
    std::vector<panelClass> panelClasses; // by their struts' letters
    std::vector<faceSize> faceSizes;      // ascending corners
    int spokes = 0;
    double totalStrutLength = 0; // unit sphere
    double strutVariance = 0;    // longest over shortest strut, less one
    double area = 0;             // of the panels; the sphere's is 4 pi
    double volume = 0;           // the panels enclose; the sphere's is 4/3 pi
};

// The dome on the circles' arrangement. Never a silent answer: a sound
// arrangement gives `built`, no vertex `noVertex`, anything else `failed`
// with the reason.
geodesicDome buildDome(const circleIntersections& intersections);
// For the four values LAT1 LONG1 LAT2 LONG2 (mathematics/pentagon_args).
geodesicDome buildDome(float lat1, float long1, float lat2, float long2);

// The letter of strut class k (k >= 0): A to Z, then AA, AB, ... as
// spreadsheet columns are named.
std::string strutLetter(int k);
// A panel class's name: its struts' letters joined by '-', e.g. "A-B-B".
std::string panelName(const geodesicDome& dome, const panelClass& panel);
