// The wheel: ring layout, the worked examples, every face wound outwards from
// the solid (into the hole for the inner wall), flat normals, its own drawing
// as four quad strips with the polygon count, the resolution limits, copies.
#include "objects/wheel.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "basicsource/main.h"
#include "recorder/gl_recorder.h"
#include "tests/failing_allocation.h"
#include "tests/harness/fatal_expect.h"
#include "tests/harness/gl_window.h"
#include "tests/shape_checks.h"

namespace {
// Coordinates are float products of sin_d/cos_d and a radius: about 1e-6.
const double kFloatTol = 2e-6;

// The direction a surface element of a wheel with radii 2 and 1 must face,
// from where its corners lie: up on top, down below, away from the axis on
// the outer wall, towards it on the inner wall.
vector3d outsideOfWheel(const std::vector<vector3d>& corners) {
    vector3d c{0, 0, 0};
    for (const vector3d& p : corners)
        for (int i = 0; i < 3; ++i) c[i] += p[i] / corners.size();
    if (std::fabs(c[1] - 1) < 1e-9) return {0, 1, 0};
    if (std::fabs(c[1] + 1) < 1e-9) return {0, -1, 0};
    // A wall's corners all lie on one ring (its centroid, on a chord, may not).
    const double r = std::hypot(corners[0][0], corners[0][2]);
    const double sign = r > 1.5 ? 1 : -1;
    return {sign * c[0], 0, sign * c[2]};
}

std::vector<vector3d> cornersOf(const object3D& o, int f) {
    const face& fc = o.getFaces()[f];
    std::vector<vector3d> out;
    for (int k = 0; k < fc.vertices; ++k) out.push_back(coord(o, fc.vert[k]));
    return out;
}

std::vector<int> indicesOf(const object3D& o, int f) {
    const face& fc = o.getFaces()[f];
    return std::vector<int>(fc.vert, fc.vert + fc.vertices);
}

using WheelGL = GLTest;
} // namespace

TEST(Wheel, SceneCylinderExample) {
    wheel w(120, 0.999f, 0.997f);
    EXPECT_EQ(w.getVertexCount(), 480);
    EXPECT_EQ(w.getFaceCount(), 480);
    EXPECT_EQ(coord(w, 0), (vector3d{0.999f, 1, 0}));
    EXPECT_EQ(coord(w, 120), (vector3d{0.997f, 1, 0}));
    EXPECT_EQ(coord(w, 240), (vector3d{0.999f, -1, 0}));
    EXPECT_EQ(coord(w, 360), (vector3d{0.997f, -1, 0}));
    // 3-degree steps: step 30 is a quarter turn, onto +z.
    EXPECT_NEAR(coord(w, 30)[0], 0.0, 1e-7);
    EXPECT_NEAR(coord(w, 30)[2], 0.999, kFloatTol);
    // Face 119 (top annulus) joins step 119 back to step 0.
    EXPECT_EQ(indicesOf(w, 119), (std::vector<int>{119, 239, 120, 0}));
}

TEST(Wheel, SmallWheelExampleAndLayout) {
    wheel w(4, 2, 1);
    EXPECT_NEAR(coord(w, 1)[0], 0.0, 1e-6); // 2 x the float rounding of cos 90
    EXPECT_EQ(coord(w, 1)[1], 1.0);
    EXPECT_NEAR(coord(w, 1)[2], 2.0, kFloatTol);
    EXPECT_EQ(indicesOf(w, 3), (std::vector<int>{3, 7, 4, 0}));
    EXPECT_EQ(indicesOf(w, 4), (std::vector<int>{8, 0, 1, 9}));     // outer wall
    EXPECT_EQ(indicesOf(w, 8), (std::vector<int>{4, 12, 13, 5}));   // inner wall
    EXPECT_EQ(indicesOf(w, 15), (std::vector<int>{11, 8, 12, 15})); // bottom, at the seam

    const int n = 7;
    wheel seven(n, 2, 1);
    for (int s = 0; s < n; ++s) {
        SCOPED_TRACE(s);
        const double a = 2 * kPi * s / n;
        const double ring[4][2] = {{2, 1}, {1, 1}, {2, -1}, {1, -1}}; // radius, height
        for (int k = 0; k < 4; ++k) {
            const vector3d c = coord(seven, k * n + s);
            EXPECT_NEAR(c[0], ring[k][0] * std::cos(a), kFloatTol);
            EXPECT_EQ(c[1], ring[k][1]);
            EXPECT_NEAR(c[2], ring[k][0] * std::sin(a), kFloatTol);
        }
    }
}

TEST(Wheel, ClosedSolidWoundOutwardsWithFlatNormals) {
    for (short n : {3, 4, 120}) {
        SCOPED_TRACE(n);
        wheel w(n, 2, 1);
        expectIndicesInRange(w);
        expectClosedAndConsistent(w);
        for (int f = 0; f < w.getFaceCount(); ++f) {
            SCOPED_TRACE(f);
            const vector3d outside = outsideOfWheel(cornersOf(w, f));
            const vector3d winding = windingNormal(w, f);
            ASSERT_GT(dot(winding, outside), 0.0);
            // Each face's normal is its unit normal (the faces are planar).
            const float* n3 = w.getFaces()[f].faceNormal.data;
            const vector3d stored{n3[0], n3[1], n3[2]};
            EXPECT_NEAR(length(stored), 1.0, 1e-6);
            EXPECT_GT(dot(stored, winding) / length(winding), 1 - 1e-6);
        }
    }
}

TEST(Wheel, ResolutionOneAndTheLargestResolutionAreBuilt) {
    // One step: t = s, so every face repeats its corners and has no area.
    wheel one(1, 2, 1);
    EXPECT_EQ(one.getVertexCount(), 4);
    EXPECT_EQ(indicesOf(one, 0), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(indicesOf(one, 1), (std::vector<int>{2, 0, 0, 2}));

    wheel most(8191, 1, 0.5f); // 4 x 8191 = 32764 faces, the most a short holds in steps of 4
    EXPECT_EQ(most.getVertexCount(), 32764);
    EXPECT_EQ(most.getFaceCount(), 32764);
    expectIndicesInRange(most);
    EXPECT_EQ(indicesOf(most, 4 * 8191 - 1), (std::vector<int>{24572, 16382, 24573, 32763}));
}

TEST(Wheel, CopiesOwnTheirMesh) {
    auto original = std::make_unique<wheel>(6, 2, 1);
    std::unique_ptr<object3D> copy(original->clone());
    ASSERT_NE(dynamic_cast<wheel*>(copy.get()), nullptr);
    EXPECT_NE(copy->getFaces(), original->getFaces());
    const vector3d expected = coord(*original, 13);
    original.reset(); // the copy's arrays must survive (checked under ASan)
    EXPECT_EQ(copy->getFaceCount(), 24);
    EXPECT_EQ(coord(*copy, 13), expected);
    // The copy still draws its own strips from its own arrays.
    ensureGLWindow();
    gPolygonCount = 0;
    startRecording();
    copy->privateDraw();
    EXPECT_EQ(callsNamed(stopRecording(), {"glVertex3fv"}).size(), 4u * 14);
    EXPECT_EQ(gPolygonCount, 24u);
}

TEST_F(WheelGL, FourQuadStripsCallByCall) {
    const int n = 4;
    wheel w(n, 2, 1);
    std::vector<glCall> expected;
    auto faceNormal = [&](int f) {
        const float* v = w.getFaces()[f].faceNormal.data;
        expected.push_back({"glNormal3fv", {v[0], v[1], v[2]}});
    };
    auto send = [&](int v) { expected.push_back(vertexCall(w, v)); };
    expected.push_back({"glBegin", {GL_QUAD_STRIP}}); // outer wall
    for (int s = 0; s <= n; ++s) {
        faceNormal(n + s % n);
        send(2 * n + s % n);
        send(s % n);
    }
    expected.push_back({"glEnd", {}});
    expected.push_back({"glBegin", {GL_QUAD_STRIP}}); // inner wall
    for (int s = 0; s <= n; ++s) {
        faceNormal(2 * n + s % n);
        send(n + s % n);
        send(3 * n + s % n);
    }
    expected.push_back({"glEnd", {}});
    expected.push_back({"glBegin", {GL_QUAD_STRIP}}); // top
    expected.push_back({"glNormal3f", {0, 1, 0}});
    for (int s = 0; s <= n; ++s) {
        send(s % n);
        send(n + s % n);
    }
    expected.push_back({"glEnd", {}});
    expected.push_back({"glBegin", {GL_QUAD_STRIP}}); // bottom
    expected.push_back({"glNormal3f", {0, -1, 0}});
    for (int s = 0; s <= n; ++s) {
        send(3 * n + s % n);
        send(2 * n + s % n);
    }
    expected.push_back({"glEnd", {}});

    startRecording();
    w.privateDraw();
    expectSameCalls(stopRecording(), expected);
}

TEST_F(WheelGL, StripsAreWoundOutwardsAndCountPolygonsPerDraw) {
    const int n = 120;
    wheel w(n, 2, 1);
    gPolygonCount = 0;
    startRecording();
    w.draw(kDrawOpaque);
    w.draw(kDrawOpaque);
    const auto calls = stopRecording();
    EXPECT_EQ(gPolygonCount, 2u * 4 * n); // 4n faces each draw
    EXPECT_TRUE(callsNamed(calls, {"glCallList"}).empty());

    // Decode the first draw's strips into quads: each pair of pairs
    // (v0, v1), (v2, v3) is the quad v0, v1, v3, v2.
    int strips = 0, quads = 0;
    std::vector<vector3d> points;
    for (const glCall& c : calls) {
        if (c.name == "glBegin") {
            ASSERT_EQ(c.args[0], GL_QUAD_STRIP);
            points.clear();
        } else if (c.name == "glVertex3fv") {
            points.push_back({c.args[0], c.args[1], c.args[2]});
        } else if (c.name == "glEnd") {
            ++strips;
            ASSERT_EQ(points.size(), size_t(2 * n + 2));
            for (size_t k = 0; k + 3 < points.size(); k += 2, ++quads) {
                const std::vector<vector3d> quad = {points[k], points[k + 1], points[k + 3],
                                                    points[k + 2]};
                const vector3d area = cross(minus(quad[2], quad[0]), minus(quad[3], quad[1]));
                ASSERT_GT(dot(area, outsideOfWheel(quad)), 0.0)
                    << "strip " << strips << " quad " << k / 2;
            }
        }
    }
    EXPECT_EQ(strips, 8);
    EXPECT_EQ(quads, 8 * n);
}

TEST(WheelDeathTest, ResolutionLimitsAndAllocationFailure) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (short n : {-5, 0, 8192, 32767}) {
        SCOPED_TRACE(n);
        EXPECT_FATAL(wheel(n, 2, 1), "wheel constructor: resolution must be between 1 and 8191");
    }
    EXPECT_FATAL((failNothrowArrays = true, wheel(120, 0.999f, 0.997f)),
                 "wheel constructor couldn't allocate a vertex and/or face array \\(out of "
                 "memory\\?\\)");
}
