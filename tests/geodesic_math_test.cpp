// The pentagon great-circle mathematics: the scene's figures, geometric
// invariants over many argument sets, and the degenerate pentagons (at a pole,
// on the equator, with a corner in the x-y plane).
#include "mathematics/geodesic_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {
const float kSceneLat1 = 0.97531795f;
const float kSceneLat2 = 0.630991f;
const float kSceneLong = 0.1f;
const int kRes = 100;

// The reference figures are printed with six significant digits; float
// rounding adds about 1e-7 relative, so 1e-5 relative covers both.
void expectFigure(float actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-5 * std::fabs(expected) + 1e-7);
}

struct pentagon {
    float height = 0, longitude = 0, phi = 0;
    float longAngles[5], x[5], z[5];
    float xc[5], yc[5], zc[5];
    greatCircleBasis basis[5];

    pentagon(float h, float l) : height(h), longitude(l) {
        phi = pentagonPolarAngle(h);
        pentagonCorners(phi, l, longAngles, x, z);
        pentagonEdgeNormals(h, x, z, xc, yc, zc);
        for (int i = 0; i < 5; ++i)
            basis[i] = edgeGreatCircle(xc[i], yc[i], zc[i], x[i], h, z[i]);
    }
    double normalLength(int i) const {
        return std::sqrt(double(xc[i]) * xc[i] + double(yc[i]) * yc[i] + double(zc[i]) * zc[i]);
    }
};

double dot(const float* a, const float* b) {
    return double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2];
}
double lengthSquared(const float* a) { return dot(a, a); }

// A deterministic spread of argument sets: the whole height range with its
// ends, longitudes over several turns in both directions.
std::vector<std::pair<float, float>> argumentSets() {
    std::vector<std::pair<float, float>> sets = {
        {kSceneLat1, kSceneLong}, {kSceneLat2, kSceneLong}, {0.0f, 0.0f}, {-1.0f, 0.3f},
        {1.0f, 0.3f},             {0.5f, -20.0f},           {-0.9999f, 3.0f}};
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24); // [0, 1)
    };
    for (int k = 0; k < 120; ++k) {
        const float h = float(2 * next() - 1);
        const float l = float(40 * next() - 20);
        sets.push_back({h, l});
    }
    return sets;
}
} // namespace

TEST(GeodesicMath, SceneFigures) {
    const pentagon p1(kSceneLat1, kSceneLong);
    const pentagon p2(kSceneLat2, kSceneLong);
    expectFigure(p1.phi, 0.22264);
    expectFigure(p2.phi, 0.88797);
    expectFigure(p1.x[0], 0.219702);
    expectFigure(p1.z[0], 0.0220437);
    expectFigure(p1.x[2], -0.1907);
    expectFigure(p1.xc[0], 0.188936);
    expectFigure(p1.yc[0], -0.0463687);
    expectFigure(p1.zc[0], 0.168511);
    expectFigure(float(p1.normalLength(0)), 0.257376);

    // The crossing depends only on the edge's longitudes, so edge 0 of both
    // pentagons crosses at the same point.
    for (const pentagon* p : {&p1, &p2}) {
        float q[3];
        equatorCrossing(p->basis[0], q);
        expectFigure(q[0], 0.665616);
        EXPECT_NEAR(q[1], 0.0f, 1e-7);
        expectFigure(q[2], -0.746295);
    }

    const float quarterTurn = sampleAngle(kRes / 4, kRes);
    expectFigure(cylinderHeight(p1.xc[0], p1.yc[0], p1.zc[0], 0.0f), 3.63415);
    expectFigure(cylinderHeight(p1.xc[0], p1.yc[0], p1.zc[0], quarterTurn), 4.07465);
    expectFigure(cylinderHeight(p2.xc[0], p2.yc[0], p2.zc[0], 0.0f), 0.669183);
    expectFigure(cylinderHeight(p2.xc[0], p2.yc[0], p2.zc[0], quarterTurn), 0.750294);

    // Sample 0 of a great circle is its corner, exactly.
    float first[3];
    greatCirclePoint(p1.basis[0], sampleAngle(0, kRes), first);
    EXPECT_EQ(first[0], p1.x[0]);
    EXPECT_EQ(first[1], kSceneLat1);
    EXPECT_EQ(first[2], p1.z[0]);
    float cyl[3];
    cylinderPoint(p1.xc[0], p1.yc[0], p1.zc[0], 0.0f, cyl);
    EXPECT_EQ(cyl[0], 0.0f);
    expectFigure(cyl[1], 3.63415);
    EXPECT_EQ(cyl[2], 1.0f);
}

TEST(GeodesicMath, CornerLongitudes) {
    const pentagon p(0.3f, 6.0f);
    EXPECT_EQ(p.longAngles[0], 6.0f); // corner 0 at the argument's longitude
    for (int i = 1; i < 5; ++i)
        EXPECT_NEAR(p.longAngles[i] - p.longAngles[i - 1], 2 * M_PI / 5, 1e-6) << i;
    EXPECT_GT(p.longAngles[4], 2 * M_PI); // not reduced to a range

    // From +x towards +z: on the equator corner 1 is at 72 degrees.
    const pentagon e(0.0f, 0.0f);
    EXPECT_EQ(e.x[0], 1.0f);
    EXPECT_NEAR(e.x[1], std::cos(2 * M_PI / 5), 1e-7);
    EXPECT_NEAR(e.z[1], std::sin(2 * M_PI / 5), 1e-7);
}

TEST(GeodesicMath, SampleAngles) {
    EXPECT_EQ(sampleAngle(0, kRes), 0.0f);
    EXPECT_EQ(sampleAngle(25, kRes), 1.5707964f);  // pi/2 rounded once
    EXPECT_EQ(sampleAngle(50, kRes), 3.14159274f); // pi rounded once
    EXPECT_EQ(sampleAngle(1, 3), float(2 * M_PI / 3));
    EXPECT_EQ(sampleAngle(99, kRes), float(2 * 99 * M_PI / 100));
}

TEST(GeodesicMath, EdgeNormalsShareTheirYComponent) {
    // Each y component is -sin^2(phi) sin 72 degrees, whatever the longitude.
    for (float l : {0.1f, -2.0f, 13.0f}) {
        const pentagon p(kSceneLat2, l);
        const double s = std::sin(double(p.phi));
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(p.yc[i], -s * s * std::sin(2 * M_PI / 5), 1e-6) << l << " " << i;
    }
}

TEST(GeodesicMath, GreatCircleRunsAlongTheEdge) {
    // The in-plane vector points from corner i towards corner i + 1: stepping
    // by the edge's angular length reaches the next corner. Float error on the
    // unit sphere: a few 1e-7; 2e-6 allows the acos of a near-1 cosine.
    for (float h : {kSceneLat1, kSceneLat2, 0.0f, -0.5f}) {
        const pentagon p(h, 0.7f);
        for (int i = 0; i < 5; ++i) {
            const int t = (i + 1) % 5;
            const float a[3] = {p.x[i], h, p.z[i]};
            const float b[3] = {p.x[t], h, p.z[t]};
            float reached[3];
            greatCirclePoint(p.basis[i], float(std::acos(dot(a, b))), reached);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(reached[k], b[k], 2e-6) << h << " edge " << i << " k " << k;
        }
    }
}

TEST(GeodesicMath, InvariantsOverManyArguments) {
    // Tolerances, single precision on the unit sphere: each stored coordinate
    // carries about 6e-8 relative rounding; sums of three products of such
    // values stay within 1e-6 absolute. Quantities divided by a normal's length
    // lose accuracy as the length shrinks, so the unit-normal checks apply to
    // normals longer than 0.01 (error then within 1e-5).
    for (const auto& [h, l] : argumentSets()) {
        SCOPED_TRACE(testing::Message() << "height " << h << " longitude " << l);
        const pentagon p(h, l);
        for (int i = 0; i < 5; ++i) {
            const int t = (i + 1) % 5;
            const float corner[3] = {p.x[i], h, p.z[i]};
            const float next[3] = {p.x[t], h, p.z[t]};
            const float normal[3] = {p.xc[i], p.yc[i], p.zc[i]};
            EXPECT_NEAR(lengthSquared(corner), 1.0, 2e-6) << "corner " << i;
            EXPECT_NEAR(dot(normal, corner), 0.0, 1e-6) << "edge " << i;
            EXPECT_NEAR(dot(normal, next), 0.0, 1e-6) << "edge " << i;

            const greatCircleBasis& b = p.basis[i];
            EXPECT_EQ(b.normalWasZero, p.normalLength(i) == 0.0);
            if (p.normalLength(i) < 0.01)
                continue;
            const float unit[3] = {b.xa, b.ya, b.za};
            const float n2[3] = {b.xn2, b.yn2, b.zn2};
            EXPECT_NEAR(lengthSquared(unit), 1.0, 1e-5);
            EXPECT_NEAR(lengthSquared(n2), 1.0, 1e-5);
            EXPECT_NEAR(dot(n2, corner), 0.0, 1e-5);

            float q[3];
            const float angle = equatorCrossing(b, q);
            EXPECT_LE(std::fabs(angle), float(M_PI / 2));
            EXPECT_NEAR(q[1], 0.0f, 1e-6) << "crossing " << i;
            EXPECT_NEAR(lengthSquared(q), 1.0, 1e-5) << "crossing " << i;
            EXPECT_NEAR(dot(unit, q), 0.0, 1e-5) << "crossing " << i;

            for (int j = 0; j < kRes; ++j) {
                const float step = sampleAngle(j, kRes);
                float g[3], c[3];
                greatCirclePoint(b, step, g);
                ASSERT_NEAR(lengthSquared(g), 1.0, 1e-5) << "edge " << i << " sample " << j;
                ASSERT_NEAR(dot(unit, g), 0.0, 1e-5) << "edge " << i << " sample " << j;
                cylinderPoint(p.xc[i], p.yc[i], p.zc[i], step, c);
                ASSERT_NEAR(double(c[0]) * c[0] + double(c[2]) * c[2], 1.0, 1e-6);
                // The plane equation relative to the size of its terms: the
                // height can be large where the plane is steep.
                const double terms = std::fabs(p.xc[i] * c[0]) + std::fabs(p.yc[i] * c[1]) +
                                     std::fabs(p.zc[i] * c[2]);
                ASSERT_NEAR(dot(normal, c), 0.0, 1e-6 * terms) << "edge " << i << " sample " << j;
            }
        }
    }
}

TEST(GeodesicMath, PentagonAtThePole) {
    // Heights of 1 and beyond clamp to polar angle 0: every corner is the pole
    // and every normal is exactly zero. The basis reports it instead of
    // printing; the samples then stay on the y axis.
    for (float h : {1.0f, 1.5f}) {
        const pentagon p(h, 0.4f);
        EXPECT_EQ(p.phi, 0.0f);
        testing::internal::CaptureStdout();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(p.xc[i], 0.0f);
            EXPECT_EQ(p.yc[i], 0.0f);
            EXPECT_EQ(p.zc[i], 0.0f);
            const greatCircleBasis b = edgeGreatCircle(p.xc[i], p.yc[i], p.zc[i], p.x[i], h, p.z[i]);
            EXPECT_TRUE(b.normalWasZero) << i;
            EXPECT_EQ(b.xa, 0.0f);
            EXPECT_EQ(b.xn2, 0.0f);
            for (int j = 0; j < kRes; j += 7) {
                float g[3];
                greatCirclePoint(b, sampleAngle(j, kRes), g);
                EXPECT_EQ(g[0], 0.0f);
                EXPECT_EQ(g[2], 0.0f);
            }
            // 0/0: the collapsed plane meets no particular height.
            EXPECT_TRUE(std::isnan(cylinderHeight(p.xc[i], p.yc[i], p.zc[i], 0.3f)));
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
    // The south pole's polar angle is pi as a float, whose sine is not 0: the
    // normals are tiny but not zero.
    const pentagon south(-1.0f, 0.4f);
    EXPECT_EQ(south.phi, 3.14159274f);
    EXPECT_FALSE(south.basis[0].normalWasZero);
}

TEST(GeodesicMath, PentagonOnTheEquator) {
    // Each great circle through an equator pentagon's edge is the equator
    // itself, so each edge's crossing is its own corner.
    for (float l : {0.0f, 0.1f, -3.0f}) {
        const pentagon p(0.0f, l);
        for (int i = 0; i < 5; ++i) {
            float q[3];
            EXPECT_EQ(equatorCrossing(p.basis[i], q), 0.0f);
            EXPECT_EQ(q[0], p.x[i]) << i;
            EXPECT_EQ(q[1], 0.0f) << i;
            EXPECT_EQ(q[2], p.z[i]) << i;
            // The plane is y = 0, so it meets the cylinder at height 0.
            EXPECT_EQ(cylinderHeight(p.xc[i], p.yc[i], p.zc[i], 1.0f), 0.0f);
        }
    }
}

TEST(GeodesicMath, LongitudeZeroPutsCornerZeroInTheXYPlane) {
    const pentagon p(kSceneLat1, 0.0f);
    EXPECT_EQ(p.z[0], 0.0f);
    EXPECT_GT(p.x[0], 0.0f);
}
