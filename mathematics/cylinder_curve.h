// The curve a great circle's plane cuts on the unit cylinder x^2 + z^2 = 1 (y
// up, radians), seen as the image of the circle from the sphere's centre: the
// circle point p lands on the cylinder at p / sqrt(px^2 + pz^2). Positions on
// the circle are its angle psi from an equator crossing, and lengths along the
// curve are computed between any two of them.
//
// Why this parametrisation. With n the plane's unit normal, the circle point
// at psi is seen at the angle sigma around the axis from the crossing's, where
// tan sigma = |n_y| tan psi, and the unrolled curve there is the sinusoid
// y = A sin sigma, A = sqrt(n_x^2 + n_z^2) / |n_y|, of slope A cos sigma, so
//     length = integral of sqrt(1 + A^2 cos^2 sigma) d sigma,
// an incomplete elliptic integral of the second kind. Both ends are mapped
// from psi, never from the images' angles around the axis: on a steep curve
// (small |n_y|) a whole stretch near the equator lies within |n_y| of one
// angle around the axis, where the angle fixes the length A times less well
// than psi does. The integrand has period pi and mirror symmetry about
// multiples of pi/2, so every length is a sum of whole quarters (sigma from a
// crossing to a top) and parts of one quarter.
//
// Error bound: relative error below 1e-12 of the integral between the
// given angles (the 1e-9 promised for the report's lengths, with room).
// Each part is integrated by adaptive 16-point Gauss-Legendre quadrature:
// directly up to sigma = pi/4, and from there to the top (for A > 1) after
// the substitution A cos sigma = sinh v, which turns the bend of width 1/A at
// the top into cosh^2 v / sqrt(A^2 - sinh^2 v), whose nearest singularity
// lies beyond the range by a third of a unit or more. A panel is accepted
// when the rule on it and the sum of the rule on its two halves differ by at
// most 1e-12 of that sum, and the sum is kept; for these integrands (no
// singularity near a panel) the halves' rule is the more accurate by orders
// of magnitude, so the sum of the accepted differences, at most 1e-12 of the
// length, bounds the error. Measured (tests/cylinder_curve_test.cpp): within
// 1e-14 of the complete integral in Carlson's form (std::ellint_2) for A from
// 0 to 1e12, of 50-digit values, and of a fine Simpson rule on pieces down to
// 1e-12 wide. Short ranges keep their relative precision:
// widths are computed as differences of nearby angles, never of large ones.
#pragma once

#include "mathematics/vector3.h"

// A plane whose unit normal has |n_y| below this is vertical: its curve on the
// cylinder runs off to infinity through the poles and has no length.
const double kVerticalNormalY = 1e-9;

// Integral of sqrt(1 + A^2 cos^2 x) dx from a to b, for 0 <= a <= b <= pi/2 and
// 0 <= A <= 1e12 (a quarter's part; see above); b = pi/2 in double (6e-17
// short) stands for the top itself. Relative error below 1e-12.
double quarterCurveIntegral(double amplitude, double a, double b);

class cylinderCurve {
  public:
    // `normal`: the plane's normal, of any length above 0.
    explicit cylinderCurve(const vector3d& normal);

    bool vertical() const { return vertical_; }     // |n_y| < kVerticalNormalY: no lengths
    double amplitude() const { return amplitude_; } // A: the curve's greatest |y|

    // The angle psi of the circle point nearest p, in (-pi, pi]: measured from
    // the equator crossing where the circle rises when walked in the direction
    // n x p (psi = pi/2 is its highest point), growing in that direction.
    double angleOf(const vector3d& p) const;
    // The circle point at angle psi.
    vector3d pointAt(double psi) const;

    // The length of the image of the circle's arc from psi0 to psi1, walked
    // in the direction of growing psi: psi0 <= psi1 <= psi0 + 2 pi, both within
    // -4 pi to 4 pi. Not for a vertical plane.
    double arcLength(double psi0, double psi1) const;
    // The whole closed curve: four quarters. Not for a vertical plane.
    double length() const { return 4 * quarter_; }

  private:
    vector3d crossing_, top_; // psi = 0 and psi = pi/2, on the unit sphere
    double verticalSine_;     // |n_y| of the unit normal
    double amplitude_ = 0;
    double quarter_ = 0; // the curve's length from a crossing to a top
    bool vertical_;

    // sigma for a circle point psiFromCrossing (0 to pi/2) from a crossing.
    double sigmaAt(double psiFromCrossing) const;
};
