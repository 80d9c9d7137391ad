// The spherical and triangle helpers: clamping, the zero guards, the double
// arithmetic inside, and the caller-owned arrays (released with delete[] so
// that the sanitizer build sees no leak).
#include "support/geodome_utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {
const float kFloatPi = 3.14159274f;
const float kFloatHalfPi = 1.5707964f;
const float kSqrt3Over2 = float(std::sqrt(3.0) / 2.0);

// The helpers return arrays allocated with new[]; owning them here releases
// them with delete[] even when an assertion returns early.
std::unique_ptr<float[]> owned(float* p) { return std::unique_ptr<float[]>(p); }
} // namespace

TEST(GeodomeUtilities, ArcCosineClampsInclusively) {
    EXPECT_EQ(arc_cosine(-1.0f), kFloatPi);
    EXPECT_EQ(arc_cosine(-1.5f), kFloatPi);
    EXPECT_EQ(arc_cosine(1.0f), 0.0f);
    // Rounding can push a cosine just past 1; it must not reach acos.
    EXPECT_EQ(arc_cosine(std::nextafter(1.0f, 2.0f)), 0.0f);
    EXPECT_EQ(arc_cosine(-std::numeric_limits<float>::infinity()), kFloatPi);
    EXPECT_EQ(arc_cosine(std::numeric_limits<float>::infinity()), 0.0f);
}

TEST(GeodomeUtilities, ArcCosineInsideTheRange) {
    EXPECT_EQ(arc_cosine(0.0f), kFloatHalfPi);
    EXPECT_FLOAT_EQ(arc_cosine(0.5f), float(M_PI / 3));
    // Just inside -1 is computed, not clamped: a little less than pi.
    const float nearlyPi = arc_cosine(std::nextafter(-1.0f, 0.0f));
    EXPECT_LT(nearlyPi, kFloatPi);
    EXPECT_GT(nearlyPi, 3.14f);
    EXPECT_TRUE(std::isnan(arc_cosine(std::nanf(""))));
}

TEST(GeodomeUtilities, TriangleArccosIsTheLawOfCosines) {
    EXPECT_FLOAT_EQ(triangle_arccos(1, 1, 1), float(M_PI / 3));
    EXPECT_EQ(triangle_arccos(3, 4, 5), kFloatHalfPi); // quotient exactly 0
    EXPECT_FLOAT_EQ(triangle_arccos(5, 3, 4), float(std::acos(0.6)));
    // A flat triangle: the opposite side is the sum of the others.
    EXPECT_EQ(triangle_arccos(1, 1, 2), kFloatPi);
}

TEST(GeodomeUtilities, TriangleArccosWithAZeroSide) {
    // (1 - 4) / 0 is -infinity, (4 - 1) / 0 is +infinity: both clamped.
    EXPECT_EQ(triangle_arccos(0, 1, 2), kFloatPi);
    EXPECT_EQ(triangle_arccos(0, 2, 1), 0.0f);
    // 0 / 0 has no angle.
    EXPECT_TRUE(std::isnan(triangle_arccos(0, 1, 1)));
}

TEST(GeodomeUtilities, CentroidAndPointBetween) {
    auto c = owned(triangle_centroid_3d(0, 0, 0, 3, 0, 0, 0, 6, 9));
    EXPECT_FLOAT_EQ(c[0], 1.0f);
    EXPECT_FLOAT_EQ(c[1], 2.0f);
    EXPECT_FLOAT_EQ(c[2], 3.0f);
    // In float, 1e8 + 1 would lose the 1 and the x mean would be 0.
    auto wide = owned(triangle_centroid_3d(1e8f, 0, 0, 1, 0, 0, -1e8f, 0, 0));
    EXPECT_FLOAT_EQ(wide[0], 1.0f / 3.0f);

    float a[3] = {1, 2, 3};
    float b[3] = {5, -2, 11};
    // A zero denominator counts as 1: ratio 0 is A, ratio 1 is B.
    auto atA = owned(point_between_two_3d(a, b, 0, 0));
    auto atB = owned(point_between_two_3d(a, b, 1, 0));
    auto quarter = owned(point_between_two_3d(a, b, 1, 4));
    auto beyond = owned(point_between_two_3d(a, b, 2, 1)); // 2B - A
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(atA[k], a[k]) << k;
        EXPECT_EQ(atB[k], b[k]) << k;
        EXPECT_FLOAT_EQ(quarter[k], a[k] + (b[k] - a[k]) / 4) << k;
        EXPECT_FLOAT_EQ(beyond[k], 2 * b[k] - a[k]) << k;
    }
    EXPECT_NE(atA.get(), a); // a new array, not the argument
}

TEST(GeodomeUtilities, PointsDistance) {
    EXPECT_EQ(points_dist_3d(0.3f, -7, 2, 0.3f, -7, 2), 0.0f);
    EXPECT_FLOAT_EQ(points_dist_3d(0, 0, 0, 3, 4, 12), 13.0f);
    // Squares of 1e20 overflow a float but not a double.
    EXPECT_FLOAT_EQ(points_dist_3d(1e20f, 0, 0, 0, 1e20f, 0), float(std::sqrt(2.0) * 1e20));
}

TEST(GeodomeUtilities, VectorDirections) {
    float ax = 7, ay = 7, az = 7;
    vector_directions_3d(0, 0, 0, &ax, &ay, &az);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_EQ(ay, 0.0f);
    EXPECT_EQ(az, 0.0f);

    vector_directions_3d(1, 0, 0, &ax, &ay, &az);
    EXPECT_EQ(ax, 0.0f);
    EXPECT_EQ(ay, kFloatHalfPi);
    EXPECT_EQ(az, kFloatHalfPi);

    vector_directions_3d(0, 0, -2.5f, &ax, &ay, &az);
    EXPECT_EQ(ax, kFloatHalfPi);
    EXPECT_EQ(ay, kFloatHalfPi);
    EXPECT_EQ(az, kFloatPi);

    // The body diagonal makes acos(1/sqrt(3)) with every axis.
    vector_directions_3d(2, 2, 2, &ax, &ay, &az);
    const float diagonal = float(std::acos(1.0 / std::sqrt(3.0)));
    EXPECT_FLOAT_EQ(ax, diagonal);
    EXPECT_FLOAT_EQ(ay, diagonal);
    EXPECT_FLOAT_EQ(az, diagonal);
}

TEST(GeodomeUtilities, VectorSeparation) {
    float x[3] = {2, 0, 0};
    float y[3] = {0, 0.5f, 0};
    float minusX[3] = {-3, 0, 0};
    float zero[3] = {0, 0, 0};
    EXPECT_EQ(vector_separation_3d(x, y), kFloatHalfPi);
    EXPECT_EQ(vector_separation_3d(x, minusX), kFloatPi);
    EXPECT_EQ(vector_separation_3d(x, x), 0.0f);
    float a[3] = {1, 1, 0};
    EXPECT_FLOAT_EQ(vector_separation_3d(a, x), float(M_PI / 4));
    // No guard here, unlike vector_directions_3d.
    EXPECT_TRUE(std::isnan(vector_separation_3d(x, zero)));
}

TEST(GeodomeUtilities, TriangleHeights) {
    EXPECT_FLOAT_EQ(triangle_height_equi(1, 1), kSqrt3Over2);
    EXPECT_FLOAT_EQ(triangle_height_unequi(1, 1), kSqrt3Over2); // equilateral either way
    // Sides 5, 5 and base 6: height 4 onto the base. The area 12 gives the
    // height onto a side of 5 as 2 * 12 / 5 = 4.8.
    EXPECT_FLOAT_EQ(triangle_height_equi(5, 6), 4.0f);
    EXPECT_FLOAT_EQ(triangle_height_unequi(6, 5), 4.8f);
    // A base longer than the two sides together: no triangle.
    EXPECT_TRUE(std::isnan(triangle_height_equi(1, 3)));
}
