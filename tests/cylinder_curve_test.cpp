// Lengths along a great circle's curve on the unit cylinder: the quarter
// integral against Carlson's form of the elliptic integral (libstdc++'s
// std::ellint_2, which the WebAssembly build lacks), 50-digit values and, for
// short pieces, a fine Simpson rule; and the angle convention the
// intersections rely on. Arcs against polylines of the curve, and their sums
// against the whole curve: tests/intersections_test.cpp.
#include "mathematics/cylinder_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
const long double kHalfPiL = 1.570796326794896619231321691639751442L;

// sqrt(1 + A^2 cos^2 x) = sqrt(1 + A^2) sqrt(1 - k^2 sin^2 x), k^2 = A^2 / (1 + A^2).
long double carlson(double amplitude, double a, double b) {
    const long double A = amplitude, k = A / std::sqrt(1 + A * A);
    return std::sqrt(1 + A * A) * (std::ellint_2(k, (long double)b) - std::ellint_2(k, (long double)a));
}

long double simpson(double amplitude, double a, double b) {
    const int n = 64;
    const long double A = amplitude, h = ((long double)b - a) / n;
    auto f = [A](long double x) { return std::sqrt(1 + A * A * std::cos(x) * std::cos(x)); };
    long double sum = f(a) + f(b);
    for (int k = 1; k < n; ++k) sum += (k % 2 ? 4 : 2) * f(a + k * h);
    return sum * h / 3;
}

vector3d unitNormal(double x, double y, double z) {
    const double n = std::sqrt(x * x + y * y + z * z);
    return {x / n, y / n, z / n};
}

} // namespace

TEST(CylinderCurve, QuarterIntegralAgreesWithReferenceValues) {
    // Whole quarters across the amplitudes a plane can have (A = 1e9 is the
    // steepest plane that is not vertical) against the complete integral.
    for (double A : {0.0, 1e-8, 0.75, 1.0, 1.0000001, 5.5, 100.0, 3600.0, 1e6, 1e9, 1e12}) {
        const long double want = carlson(A, 0, kPi / 2);
        EXPECT_NEAR(quarterCurveIntegral(A, 0, kPi / 2) / want, 1, 1e-13) << "A " << A;
    }
    // Pieces, from mpmath's quadrature at 50 digits (b = pi/2 meaning the top).
    const double pieces[][4] = {{1e9, 1.5, kPi / 2, 2505013.395945578692718},
                                {1e6, 1.5707, kPi / 2, 0.004642306157530013306433},
                                {3600, 0.3, 1.2, 2291.468155653303009008},
                                {5.5, 0, 0.1, 0.5581156078457455374946},
                                {1e12, 0.7, 0.9, 139109222389.7923825571}};
    for (const auto& p : pieces)
        EXPECT_NEAR(quarterCurveIntegral(p[0], p[1], p[2]) / p[3], 1, 1e-14) << "A " << p[0];
    // Random pieces against libstdc++'s incomplete integral, which differs
    // from mpmath by up to 4e-11 on pieces near a top (ours by 1e-15); above
    // A = 1e6 its cancellation near k = 1 grows, and the pieces there are
    // left to the values above and the Simpson check below.
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int k = 0; k < 20000; ++k) {
        const double A = std::pow(10.0, 14 * unit(random) - 8);
        double a = unit(random) * kPi / 2, b = unit(random) * kPi / 2;
        if (a > b) std::swap(a, b);
        if (k % 4 == 0) a = 0;
        if (b - a < 1e-3) continue; // below, the reference's own cancellation shows
        const long double want = carlson(A, a, b);
        ASSERT_NEAR(quarterCurveIntegral(A, a, b) / want, 1, 1e-10)
            << "A " << A << " from " << a << " to " << b;
    }
}

TEST(CylinderCurve, ShortPiecesKeepTheirRelativePrecision) {
    // A piece 1e-12 to 1e-4 wide anywhere, even where the substitution near a
    // top puts its ends at v ~ 20 (A = 1e9): a difference of two such v would
    // lose up to 1e-5 of a piece 1e-10 wide. Simpson's rule in long double is
    // exact enough when the piece is short against its distance to the bend
    // at the top, pi/2 + i asinh(1/A).
    std::mt19937_64 random(23);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int k = 0; k < 20000; ++k) {
        const double A = std::pow(10.0, 20 * unit(random) - 8);
        const double a = unit(random) * kPi / 2, b = a + std::pow(10.0, 8 * unit(random) - 12);
        const double bend = std::hypot(kPi / 2 - b, std::asinh(1 / A));
        if (b > kPi / 2 || 16 * (b - a) > bend) continue;
        ++checked;
        ASSERT_NEAR(quarterCurveIntegral(A, a, b) / simpson(A, a, b), 1, 1e-12)
            << "A " << A << " from " << a << " width " << b - a;
    }
    EXPECT_GT(checked, 10000);
}

TEST(CylinderCurve, AnglesRunFromTheRisingCrossingInTheDirectionOfTravel) {
    for (const vector3d& n : {unitNormal(0.19, -0.046, 0.17), unitNormal(-0.3, 0.8, 0.1),
                              unitNormal(0, 1, 0), unitNormal(0.2, -1e-10, -0.5)}) {
        const cylinderCurve curve(n);
        const vector3d crossing = curve.pointAt(0), top = curve.pointAt(kPi / 2);
        EXPECT_NEAR(crossing[1], 0, 1e-15);
        // n x p, the direction of travel, at the crossing points up (the
        // equator itself, n = y, has no up: any horizontal start will do).
        const double rising = n[2] * crossing[0] - n[0] * crossing[2];
        if (std::fabs(n[1]) < 1) {
            EXPECT_GT(rising, 0);
            EXPECT_NEAR(top[1], std::sqrt(1 - n[1] * n[1]), 1e-15); // the circle's highest point
        }
        for (double psi : {-3.0, -1.0, 0.0, 0.5, 2.0, 3.1}) {
            const vector3d p = curve.pointAt(psi);
            EXPECT_NEAR(p[0] * n[0] + p[1] * n[1] + p[2] * n[2], 0, 1e-15);
            EXPECT_NEAR(curve.angleOf(p), psi, 1e-14);
        }
    }
    EXPECT_TRUE(cylinderCurve(unitNormal(1, 0.9e-9, 0)).vertical());
    EXPECT_FALSE(cylinderCurve(unitNormal(1, 1.1e-9, 0)).vertical());
    // The equator: flat, and as long as the angle walked.
    const cylinderCurve equator({0, -2, 0});
    EXPECT_EQ(equator.amplitude(), 0);
    EXPECT_NEAR(equator.length(), 2 * kPi, 1e-15);
    EXPECT_NEAR(equator.arcLength(-2.5, 0.7), 3.2, 1e-15);
}
