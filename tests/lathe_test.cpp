// The lathe: ring layout and counts, the winding rule (faces look to the left
// of the profile's direction), the angular seam, smooth normals, drawing face
// by face, copies, and the limits that end construction through fatal.
#include "objects/lathe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "basicsource/main.h"
#include "objects/profiles.h"
#include "recorder/gl_recorder.h"
#include "tests/failing_allocation.h"
#include "tests/harness/fatal_expect.h"
#include "tests/harness/gl_window.h"
#include "tests/shape_checks.h"

namespace {
// Coordinates are products of floats from sin_d/cos_d: compare to about 1e-6,
// the single-precision rounding of values of order 1.
const double kFloatTol = 2e-6;

int pointsOf(const double* profile) {
    int p = 0;
    while (profile[2 * p] != 99.0) ++p;
    return p;
}
} // namespace

TEST(Lathe, CountsAndTheWineglassExample) {
    lathe glass(wineglassProfile, 24);
    EXPECT_EQ(glass.getVertexCount(), 19 * 24);
    EXPECT_EQ(glass.getFaceCount(), 18 * 24);
    // Vertex 24 is point 1, (0.29, 0.2), at angle 0.
    EXPECT_NEAR(coord(glass, 24)[0], 0.29, kFloatTol);
    EXPECT_FLOAT_EQ(coord(glass, 24)[1], 0.2f);
    EXPECT_EQ(coord(glass, 24)[2], 0.0);
    const face& f0 = glass.getFaces()[0];
    EXPECT_EQ(f0.vertices, 4);
    EXPECT_EQ(f0.vert[0], 0);
    EXPECT_EQ(f0.vert[1], 1);
    EXPECT_EQ(f0.vert[2], 25);
    EXPECT_EQ(f0.vert[3], 24);
    expectIndicesInRange(glass);
}

TEST(Lathe, BottleExampleAndRingLayout) {
    lathe bottle(bottleProfile, 4);
    EXPECT_EQ(bottle.getVertexCount(), 24);
    EXPECT_EQ(bottle.getFaceCount(), 20);
    // Vertex 1: point 0, (0.1, 1), turned by 90 degrees onto +z; x is 0.1 times
    // the float rounding of cos 90 degrees.
    EXPECT_NEAR(coord(bottle, 1)[0], 0.0, 1e-7);
    EXPECT_FLOAT_EQ(coord(bottle, 1)[1], 1.0f);
    EXPECT_NEAR(coord(bottle, 1)[2], 0.1, kFloatTol);

    // Every vertex p*m + j is point p at angle j*360/m, from +x towards +z.
    const int m = 7;
    lathe tree(treeTopProfile, m);
    for (int p = 0; p < 32; ++p)
        for (int j = 0; j < m; ++j) {
            SCOPED_TRACE(testing::Message() << "point " << p << " step " << j);
            const vector3d c = coord(tree, p * m + j);
            const double r = treeTopProfile[2 * p], angle = 2 * kPi * j / m;
            EXPECT_NEAR(c[0], r * std::cos(angle), kFloatTol);
            EXPECT_NEAR(c[1], treeTopProfile[2 * p + 1], kFloatTol);
            EXPECT_NEAR(c[2], r * std::sin(angle), kFloatTol);
        }

    // An outline's negative x mirrors its point through the axis: point 2 of
    // the star is (-1, 1).
    lathe star(starProfile, 4);
    EXPECT_NEAR(coord(star, 2 * 4)[0], -1.0, kFloatTol);
    EXPECT_NEAR(coord(star, 2 * 4)[1], 1.0, kFloatTol);
}

TEST(Lathe, FacesLookLeftOfTheProfileDirection) {
    // Drawn with radius to the right and height up, a face between points p
    // and p+1 is counter-clockwise seen from the left of p -> p+1: outwards
    // where the profile descends, towards the axis where it ascends, up where
    // it runs outwards. The expected side is (-dh, dr) in that plane.
    const int m = 16;
    for (double* profile : {wineglassProfile, bottleProfile, mushroomProfile, treeTopProfile}) {
        lathe shape(profile, m);
        const int points = pointsOf(profile);
        for (int p = 0; p + 1 < points; ++p) {
            const double dr = profile[2 * p + 2] - profile[2 * p];
            const double dh = profile[2 * p + 3] - profile[2 * p + 1];
            for (int j = 0; j < m; ++j) {
                SCOPED_TRACE(testing::Message() << "point " << p << " step " << j);
                const int f = p * m + j;
                const double mid = 2 * kPi * (j + 0.5) / m;
                const vector3d side{-dh * std::cos(mid), dr, -dh * std::sin(mid)};
                const vector3d winding = windingNormal(shape, f);
                ASSERT_GT(dot(winding, side), 0.0);
                // The stored face normal is the unit normal of the same side.
                const float* n = shape.getFaces()[f].faceNormal.data;
                const vector3d stored{n[0], n[1], n[2]};
                EXPECT_NEAR(length(stored), 1.0, 1e-5);
                EXPECT_GT(dot(stored, winding) / length(winding), 0.99);
            }
        }
    }
}

TEST(Lathe, RingsCloseAtTheSeamAndOnlyTheEndRingsAreOpen) {
    const int m = 12;
    lathe shape(mushroomProfile, m);
    const int points = 43;
    // The last face of each band joins step m-1 back to step 0.
    for (int p = 0; p + 1 < points; ++p) {
        const face& last = shape.getFaces()[p * m + m - 1];
        EXPECT_EQ(last.vert[1], p * m);
        EXPECT_EQ(last.vert[2], (p + 1) * m);
    }
    // Inside the surface each directed edge has its reverse in the next face;
    // only the first and last rings form the boundary.
    const auto edges = directedEdges(shape);
    for (const auto& [edge, count] : edges) {
        EXPECT_EQ(count, 1);
        if (edges.count({edge.second, edge.first})) continue;
        const int ringA = edge.first / m, ringB = edge.second / m;
        EXPECT_EQ(ringA, ringB) << edge.first << "->" << edge.second;
        EXPECT_TRUE(ringA == 0 || ringA == points - 1) << edge.first << "->" << edge.second;
    }
}

TEST(Lathe, SmoothNormalsAverageTheAdjoiningFaces) {
    // A straight tube: every vertex normal is the mean of unit normals half a
    // step (15 degrees for m = 12) either side of its own direction, so it is
    // radial, level, and cos 15 degrees long (not rescaled).
    double tube[] = {1, 1, 1, 0, 1, -1, 99};
    const int m = 12;
    lathe shape(tube, m);
    for (int v = 0; v < shape.getVertexCount(); ++v) {
        SCOPED_TRACE(v);
        const float* n = shape.getVertices()[v].normal.data;
        const double angle = 2 * kPi * (v % m) / m;
        EXPECT_NEAR(n[0], std::cos(kPi / 12) * std::cos(angle), 1e-5);
        EXPECT_NEAR(n[1], 0.0, 1e-6);
        EXPECT_NEAR(n[2], std::cos(kPi / 12) * std::sin(angle), 1e-5);
    }
}

TEST(Lathe, OnePointProfileIsARingWithoutFaces) {
    double ring[] = {0.5, 0.25, 99};
    lathe shape(ring, 20000); // no faces: more vertices than 16-bit corners address
    EXPECT_EQ(shape.getVertexCount(), 20000);
    EXPECT_EQ(shape.getFaceCount(), 0);
    EXPECT_NEAR(coord(shape, 5000)[2], 0.5, kFloatTol); // a quarter turn on
}

TEST(Lathe, LargestMeshWithFacesIsBuilt) {
    // 7 points x 4681 steps = 32767 vertices, exactly the limit once there are
    // faces (32768 is refused below); the last face reaches the last vertex.
    double sevenPoints[] = {1, 1, 1, 0.5, 1, 0, 1, -0.25, 1, -0.5, 1, -0.75, 1, -1, 99};
    lathe shape(sevenPoints, 4681);
    EXPECT_EQ(shape.getVertexCount(), 32767);
    EXPECT_EQ(shape.getFaceCount(), 6 * 4681);
    expectIndicesInRange(shape);
    const face& last = shape.getFaces()[6 * 4681 - 1];
    EXPECT_EQ(last.vert[2], 6 * 4681); // wraps to step 0 of the last ring
    EXPECT_EQ(last.vert[3], 32766);
}

TEST(Lathe, CopiesOwnTheirMesh) {
    auto original = std::make_unique<lathe>(bottleProfile, 6);
    std::unique_ptr<object3D> copy(original->clone());
    ASSERT_NE(dynamic_cast<lathe*>(copy.get()), nullptr);
    ASSERT_EQ(copy->getVertexCount(), 36);
    ASSERT_EQ(copy->getFaceCount(), 30);
    EXPECT_NE(copy->getVertices(), original->getVertices());
    const vector3d expected = coord(*original, 7);
    original.reset(); // the copy's arrays must survive (checked under ASan)
    EXPECT_EQ(coord(*copy, 7), expected);
    EXPECT_EQ(copy->getFaces()[29].vert[2], 30); // the seam back to step 0
}

using LatheGL = GLTest;

TEST_F(LatheGL, DrawsFaceByFaceWithVertexNormals) {
    lathe shape(bottleProfile, 4);
    gPolygonCount = 0;
    startRecording();
    shape.draw(kDrawOpaque);
    const auto calls = stopRecording();
    EXPECT_TRUE(callsNamed(calls, {"glCallList"}).empty()); // no display list
    EXPECT_EQ(callsNamed(calls, {"glBegin"}).size(), 20u);
    EXPECT_EQ(callsNamed(calls, {"glVertex3fv"}).size(), 80u);
    EXPECT_EQ(callsNamed(calls, {"glNormal3fv"}).size(), 80u); // one per corner: smooth
    EXPECT_EQ(gPolygonCount, 20u);
    // The first quad: vertex 0's normal and coordinate, then vertex 1's.
    EXPECT_TRUE(containsInOrder(calls, {{"glBegin", {GL_QUADS}},
                                        normalCall(shape, 0),
                                        vertexCall(shape, 0),
                                        normalCall(shape, 1),
                                        vertexCall(shape, 1),
                                        normalCall(shape, 5),
                                        vertexCall(shape, 5),
                                        normalCall(shape, 4),
                                        vertexCall(shape, 4),
                                        {"glEnd", {}}}));
}

// Turned through no steps, a profile makes no vertices and no faces: nothing
// to draw, and nothing read past an array (the sanitizer build checks).
TEST_F(LatheGL, ResolutionZeroIsAnEmptyLathe) {
    lathe empty(mushroomProfile, 0);
    EXPECT_EQ(empty.getVertexCount(), 0);
    EXPECT_EQ(empty.getFaceCount(), 0);
    std::unique_ptr<object3D> copy(empty.clone());
    gPolygonCount = 0;
    startRecording();
    copy->draw(kDrawOpaque);
    const auto calls = stopRecording();
    EXPECT_TRUE(callsNamed(calls, {"glVertex3fv", "glNormal3fv"}).empty());
    EXPECT_EQ(gPolygonCount, 0u);
}

TEST(LatheDeathTest, LimitsEndThroughFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    double empty[] = {99};
    EXPECT_FATAL(lathe(empty, 8), "lathe constructor: the profile must hold at least one point");
    EXPECT_FATAL(lathe(bottleProfile, -3), "lathe constructor: resolution must not be negative");
    double segment[] = {1, 1, 1, -1, 99};
    EXPECT_FATAL(lathe(segment, 16384),
                 "lathe constructor: with faces, resolution x profile points must be at most "
                 "32767 vertices");
    EXPECT_FATAL(lathe(mushroomProfile, 2000),
                 "lathe constructor: resolution x profile points must be at most 65535 vertices");
    EXPECT_FATAL((failNothrowArrays = true, lathe(bottleProfile, 4)),
                 "lathe constructor couldn't allocate a vertex and/or face array \\(out of "
                 "memory\\?\\)");
}
