// Three-vectors in double precision for the mathematics: the type every module
// passes points and normals in, and the few operations they all need. Plain
// inline functions, because the arrangement and the dome call them in their
// inner loops. Right-handed, y up, as everywhere in the figure.
#pragma once

#include <array>
#include <cmath>

using vector3d = std::array<double, 3>;

const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;
const double kHalfPi = 1.5707963267948966;

inline double dot(const vector3d& a, const vector3d& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline vector3d cross(const vector3d& a, const vector3d& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline vector3d plus(const vector3d& a, const vector3d& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline vector3d minus(const vector3d& a, const vector3d& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline vector3d scaled(const vector3d& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
inline double length(const vector3d& a) { return std::sqrt(dot(a, a)); }
inline double distance(const vector3d& a, const vector3d& b) { return length(minus(a, b)); }
// a / |a|; not for the zero vector.
inline vector3d normalised(const vector3d& a) { return scaled(a, 1 / length(a)); }

// The figure's two angles about the vertical axis, each with a name of its own,
// both in [0, 2 pi) (a rounding that reaches 2 pi gives 0): a longitude runs
// from +x towards +z (the pentagons' corners, the intersections); the angle
// around the axis runs from +z towards +x (the cylinder curves, sampled at
// x = sin, z = cos of it, and the unrolled cylinder drawn from them).
inline double withinTurn(double angle) {
    const double a = angle < 0 ? angle + kTwoPi : angle;
    return a >= kTwoPi ? 0 : a;
}
inline double longitudeOf(double x, double z) { return withinTurn(std::atan2(z, x)); }
inline double angleAroundAxis(double x, double z) { return withinTurn(std::atan2(x, z)); }
