// The pentagon great-circle mathematics shared by the value report and the
// scene figure: corners of a regular pentagon inscribed in the parallel at a
// given height of the unit sphere (y up; longitude from +x towards +z; radians),
// the normals of the planes of its edges' great circles, points on those great
// circles, their equator crossings and the curves their planes cut on the unit
// cylinder x^2 + z^2 = 1. Every named result is rounded to float when stored.
// Nothing here touches OpenGL or writes output.
#pragma once

#include <initializer_list>
#include <memory>

// One zero-filled block holding five floats for each of `fields`, each field
// pointed at its own five: the figure and the report keep their pentagon
// arrays this way, and copies of them share the block.
std::shared_ptr<float[]> newPentagonArrays(std::initializer_list<float**> fields);

// Polar angle of corners at height `height` (clamped arc cosine).
float pentagonPolarAngle(float height);

// Whether corners at polar angle `phi` lie closer to the axis than single
// precision resolves on the unit sphere, and so coincide with the pole: at a
// height of -1, sin(phi) is sin(float pi), about 9e-8 rather than 0, and the
// planes through such corners would be noise (cylinder heights in the
// millions). Such a pentagon has no great circles.
bool pentagonAtAPole(float phi);

// Corner longitudes and x, z coordinates of the pentagon whose corners have
// polar angle `phi` and whose corner 0 lies at longitude `longitude`; each
// array holds 5 floats. Corner i is at longitude + 2 i pi / 5 (not reduced to
// a range), so the corners run from +x towards +z. The corners' y is the
// pentagon's height argument itself, not cos(phi).
void pentagonCorners(float phi, float longitude, float* longAngles, float* xcoord, float* zcoord);

// Normal of the great-circle plane of each edge i (corner i x corner i+1,
// edge 4 closing back to corner 0; not normalised); each output array holds
// 5 floats. Zero only for a pentagon collapsed to a pole.
void pentagonEdgeNormals(float height, const float* xcoord, const float* zcoord, float* xcross,
                         float* ycross, float* zcross);

// Orthonormal basis of the plane of one edge's great circle: the corner N and
// the unit vector N2 pointing from it along the edge.
struct greatCircleBasis {
    float xa, ya, za;    // unit normal of the plane
    float xn, yn, zn;    // corner i
    float xn2, yn2, zn2; // (unit normal) x (corner i)
    bool normalWasZero;  // the edge's normal had length 0 (a collapsed pentagon):
                         // the length 0.05 was used instead
};

// Never writes output: the caller decides what to say about normalWasZero.
greatCircleBasis edgeGreatCircle(float xcross, float ycross, float zcross, float xcorner,
                                 float height, float zcorner);

// The point at angle `step` along the great circle, from the corner towards the edge.
void greatCirclePoint(const greatCircleBasis& b, float step, float rot[3]);

// The great circle's crossing of the equator at an angle in [-pi/2, pi/2]
// along the circle, which is returned; the other crossing is its negation.
// A circle that is the equator itself (corner and edge direction both at
// y = 0) has its corner taken as the crossing, at angle 0.
float equatorCrossing(const greatCircleBasis& b, float point[3]);

// Height at which the plane with normal (xcross, ycross, zcross) meets the
// cylinder's vertical line at angle `step` (from +z towards +x); the cylinder
// point is (sin step, height, cos step).
float cylinderHeight(float xcross, float ycross, float zcross, float step);

// The whole cylinder point (sin step, height, cos step) for that angle. For a
// collapsed pentagon (zero normal) the height is 0/0, a NaN.
void cylinderPoint(float xcross, float ycross, float zcross, float step, float point[3]);

// The corners' longitudes as the value report gives them, both pentagons in
// one pass because the rule pairs them index by index: where the corners' z
// have the same sign, 2 pi - l with l the corner's longitude in (0, 2 pi)
// (measured from +x towards -z); where the signs differ, both take the offset
// pi/2; a corner with z = 0 gets pi/2. lon1 and lon2 hold 5 floats each.
void reportLongitudes(const float* xcoord1, const float* zcoord1, const float* xcoord2,
                      const float* zcoord2, float* lon1, float* lon2);

// Sample angle j of `res` around a full turn: (2 j pi) / res.
float sampleAngle(int j, int res);
