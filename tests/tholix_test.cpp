// The geodesic figure: its vertex ranges hold what the pentagon mathematics
// gives for each edge (checked for every vertex against geodesic_math and
// against the geometry it must satisfy), the twelve faces, the display list
// recorded at construction, the collapsed-pentagon message, copies sharing
// the pentagon arrays, and the figure rendered alone into the back buffer.
#include "objects/tholix.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "basicsource/main.h"
#include "mathematics/geodesic_math.h"
#include "recorder/gl_recorder.h"
#include "tests/failing_allocation.h"
#include "tests/harness/fatal_expect.h"
#include "tests/harness/gl_window.h"
#include "tests/shape_checks.h"

namespace {
// The scene's pentagons: heights and corner-0 longitudes (radians).
const float kLat1 = 0.97531795f, kLong1 = 0.1f, kLat2 = 0.630991f, kLong2 = 0.1f;
const int kVertices = 2030;
const char kNormMessage[] = "division by zero compensated: norm\n";

using point3 = std::array<float, 3>;

// The figure's vertices worked out straight from the pentagon mathematics, in
// the figure's layout: great circles 0-999, corners 1000-1009, equator
// crossings 1010-1029 (each pentagon's five, then their negations), cylinder
// curves 1030-2029; pentagon 1's edges before pentagon 2's.
std::vector<point3> figureFromMathematics(float lat1, float long1, float lat2, float long2) {
    std::vector<point3> v(kVertices);
    const float heights[2] = {lat1, lat2}, longitudes[2] = {long1, long2};
    for (int p = 0; p < 2; ++p) {
        float angles[5], x[5], z[5], xc[5], yc[5], zc[5];
        pentagonCorners(pentagonPolarAngle(heights[p]), longitudes[p], angles, x, z);
        pentagonEdgeNormals(heights[p], x, z, xc, yc, zc);
        for (int i = 0; i < 5; ++i) {
            const int curve = (5 * p + i) * 100;
            const greatCircleBasis b = edgeGreatCircle(xc[i], yc[i], zc[i], x[i], heights[p], z[i]);
            for (int j = 0; j < 100; ++j) {
                const float step = sampleAngle(j, 100);
                greatCirclePoint(b, step, v[curve + j].data());
                cylinderPoint(xc[i], yc[i], zc[i], step, v[1030 + curve + j].data());
            }
            float e[3];
            equatorCrossing(b, e);
            v[1010 + 10 * p + i] = {e[0], e[1], e[2]};
            v[1015 + 10 * p + i] = {-e[0], -e[1], -e[2]};
            v[1000 + 5 * p + i] = {x[i], heights[p], z[i]};
        }
    }
    return v;
}

glCall vertexAt(const point3& p) { return {"glVertex3fv", {p[0], p[1], p[2]}}; }

// Figure vertices in the recorded list must equal the mathematics' values to
// the last bit: the figure computes them with the same functions, so any
// difference means a second, different computation or a misplaced vertex.
const double kSameFloat = 0.0;
// Values quoted to six significant digits.
const double kQuoted = 1e-5;

class TholixTest : public GLTest {};
} // namespace

TEST_F(TholixTest, CountsLayoutFieldsAndColour) {
    tholix t(kLat1, kLong1, kLat2, kLong2);
    EXPECT_EQ(t.getVertexCount(), kVertices);
    EXPECT_EQ(t.getFaceCount(), 12);
    EXPECT_EQ(t.res, 100);
    EXPECT_EQ(t.cnt, 1000);
    EXPECT_EQ(t.cnt2, 1010);
    EXPECT_EQ(t.cnt3, 1030);
    float r, g, b, a;
    t.getColour(r, g, b, a);
    EXPECT_EQ((std::array<float, 4>{r, g, b, a}), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_FALSE(t.isTranslucent());
    EXPECT_NEAR(t.phi1, 0.22264, kQuoted);
    EXPECT_NEAR(t.phi2, 0.88797, kQuoted);
}

TEST_F(TholixTest, EveryVertexIsWhatTheMathematicsGives) {
    tholix t(kLat1, kLong1, kLat2, kLong2);
    const auto expected = figureFromMathematics(kLat1, kLong1, kLat2, kLong2);
    for (int v = 0; v < kVertices; ++v) {
        const float* c = t.getVertices()[v].coordinate.data;
        ASSERT_EQ((point3{c[0], c[1], c[2]}), expected[v]) << "vertex " << v;
    }
    // The figure's own pentagon arrays hold the same corners and normals.
    float angles[5], x[5], z[5], xc[5], yc[5], zc[5];
    pentagonCorners(pentagonPolarAngle(kLat2), kLong2, angles, x, z);
    pentagonEdgeNormals(kLat2, x, z, xc, yc, zc);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t.long_angles2[i], angles[i]);
        EXPECT_EQ(t.xcoord2[i], x[i]);
        EXPECT_EQ(t.zcoord2[i], z[i]);
        EXPECT_EQ(t.pent2_xcross[i], xc[i]);
        EXPECT_EQ(t.pent2_ycross[i], yc[i]);
        EXPECT_EQ(t.pent2_zcross[i], zc[i]);
    }
}

TEST_F(TholixTest, SceneExamples) {
    tholix t(kLat1, kLong1, kLat2, kLong2);
    auto at = [&](int v) { return coord(t, v); };
    // Vertex 0 is corner 0 of pentagon 1, exactly as stored at vertex cnt.
    EXPECT_NEAR(at(0)[0], 0.219702, kQuoted);
    EXPECT_NEAR(at(0)[1], 0.975318, kQuoted);
    EXPECT_NEAR(at(0)[2], 0.0220437, kQuoted);
    EXPECT_EQ(at(0), at(1000));
    EXPECT_EQ(at(500), at(1005));
    // Cylinder curve of pentagon 1's edge 0: height 3.63415 facing +z (j = 0),
    // 4.07465 facing +x (j = 25, a quarter turn); pentagon 2's: 0.669183, 0.750294.
    EXPECT_NEAR(at(1030)[0], 0.0, 1e-7);
    EXPECT_NEAR(at(1030)[1], 3.63415, 3.63415 * kQuoted);
    EXPECT_NEAR(at(1030)[2], 1.0, 1e-7);
    EXPECT_NEAR(at(1055)[0], 1.0, 1e-7);
    EXPECT_NEAR(at(1055)[1], 4.07465, 4.07465 * kQuoted);
    EXPECT_NEAR(at(1530)[1], 0.669183, kQuoted);
    EXPECT_NEAR(at(1555)[1], 0.750294, kQuoted);
    // Edge 0 of both pentagons crosses the equator at the same two points.
    for (int v : {1010, 1020}) {
        SCOPED_TRACE(v);
        EXPECT_NEAR(at(v)[0], 0.665616, kQuoted);
        EXPECT_NEAR(at(v)[1], 0.0, 1e-7);
        EXPECT_NEAR(at(v)[2], -0.746295, kQuoted);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(at(v + 5)[i], -at(v)[i]);
    }
    // Same longitude argument: the twenty crossings coincide in pairs.
    for (int k = 0; k < 10; ++k)
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(at(1010 + k)[i], at(1020 + k)[i], 1e-6) << k;
}

TEST_F(TholixTest, CurvesLieWhereTheirEdgesPlanesCutSphereAndCylinder) {
    // Checked in double precision, independently of the mathematics module:
    // for edge i the plane n . X = 0 (n = corner i x corner i+1) must contain
    // the great circle, both equator crossings and the cylinder curve.
    tholix t(kLat1, kLong1, kLat2, kLong2);
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(testing::Message() << "pentagon " << p + 1 << " edge " << i);
            const vector3d a = coord(t, 1000 + 5 * p + i), b = coord(t, 1000 + 5 * p + (i + 1) % 5);
            const vector3d n = cross(a, b);
            const double nl = length(n);
            const int curve = (5 * p + i) * 100;
            for (int j = 0; j < 100; ++j) {
                const vector3d g = coord(t, curve + j);
                ASSERT_NEAR(length(g), 1.0, 1e-6) << j;
                ASSERT_NEAR(dot(n, g) / nl, 0.0, 1e-6) << j;
                // Cylinder point j faces angle 2 pi j / 100 from +z towards +x.
                const vector3d c = coord(t, 1030 + curve + j);
                const double angle = 2 * kPi * j / 100;
                ASSERT_NEAR(c[0], std::sin(angle), 1e-6) << j;
                ASSERT_NEAR(c[2], std::cos(angle), 1e-6) << j;
                ASSERT_NEAR(dot(n, c) / nl, 0.0, 1e-5 * length(c)) << j;
            }
            // The circle starts at corner i and runs towards corner i+1.
            EXPECT_EQ(coord(t, curve), a);
            EXPECT_GT(dot(minus(coord(t, curve + 1), a), minus(b, a)), 0.0);
            for (int k : {1010 + 10 * p + i, 1015 + 10 * p + i}) {
                const vector3d e = coord(t, k);
                EXPECT_NEAR(e[1], 0.0, 1e-6) << k;
                EXPECT_NEAR(length(e), 1.0, 1e-6) << k;
                EXPECT_NEAR(dot(n, e) / nl, 0.0, 1e-6) << k;
            }
        }
}

TEST_F(TholixTest, TwelveFacesFillBothPentagonsFromBothSides) {
    tholix t(kLat1, kLong1, kLat2, kLong2);
    const int expected[12][3] = {{1004, 1000, 1001}, {1004, 1001, 1002}, {1004, 1002, 1003},
                                 {1001, 1000, 1004}, {1002, 1001, 1004}, {1003, 1002, 1004},
                                 {1009, 1005, 1006}, {1009, 1006, 1007}, {1009, 1007, 1008},
                                 {1006, 1005, 1009}, {1007, 1006, 1009}, {1008, 1007, 1009}};
    for (int f = 0; f < 12; ++f) {
        SCOPED_TRACE(f);
        const face& fc = t.getFaces()[f];
        ASSERT_EQ(fc.vertices, 3);
        EXPECT_EQ((std::array<int, 3>{fc.vert[0], fc.vert[1], fc.vert[2]}),
                  (std::array<int, 3>{expected[f][0], expected[f][1], expected[f][2]}));
        // The corners run from +x towards +z, clockwise seen from +y: the
        // fans in corner order face down, the reversed ones up.
        const double facing = (f % 6) < 3 ? -1.0 : 1.0;
        EXPECT_GT(windingNormal(t, f)[1] * facing, 0.0);
        EXPECT_NEAR(t.getFaces()[f].faceNormal.data[1], facing, 1e-6);
    }
}

TEST_F(TholixTest, DisplayListHoldsTheTenCommandsInOrder) {
    startRecording();
    tholix t(kLat1, kLong1, kLat2, kLong2);
    const auto calls = stopRecording();
    ASSERT_NE(t.getListName(), 0u);
    EXPECT_TRUE(containsInOrder(calls, {{"glGenLists", {1, double(t.getListName())}}}));
    EXPECT_EQ(calls.back().name, "glEndList"); // compiled, nothing drawn

    const auto v = figureFromMathematics(kLat1, kLong1, kLat2, kLong2);
    std::vector<glCall> expected = {{"glNewList", {double(t.getListName()), GL_COMPILE}}};
    // 1: both pentagons' triangles, both windings.
    expected.push_back({"glBegin", {GL_TRIANGLES}});
    for (int f = 0; f < 12; ++f)
        for (int k = 0; k < 3; ++k) expected.push_back(vertexAt(v[t.getFaces()[f].vert[k]]));
    expected.push_back({"glEnd", {}});
    // 2-4: line width, then the ten great circles, each a loop of 100 samples.
    expected.push_back({"glLineWidth", {1}});
    for (int curve = 0; curve < 10; ++curve) {
        expected.push_back({"glBegin", {GL_LINE_LOOP}});
        for (int j = 0; j < 100; ++j) expected.push_back(vertexAt(v[curve * 100 + j]));
        expected.push_back({"glEnd", {}});
    }
    // 5-8: the ten corners and twenty crossings as 3-pixel points, each
    // crossing of pentagon 1 followed by the matching one of pentagon 2.
    expected.push_back({"glPointSize", {3}});
    expected.push_back({"glBegin", {GL_POINTS}});
    for (int k = 0; k < 10; ++k) expected.push_back(vertexAt(v[1000 + k]));
    expected.push_back({"glEnd", {}});
    expected.push_back({"glBegin", {GL_POINTS}});
    for (int k = 0; k < 10; ++k) {
        expected.push_back(vertexAt(v[1010 + k]));
        expected.push_back(vertexAt(v[1020 + k]));
    }
    expected.push_back({"glEnd", {}});
    expected.push_back({"glPointSize", {1}});
    // 9-10: the ten cylinder curves.
    for (int curve = 0; curve < 10; ++curve) {
        expected.push_back({"glBegin", {GL_LINE_LOOP}});
        for (int j = 0; j < 100; ++j) expected.push_back(vertexAt(v[1030 + curve * 100 + j]));
        expected.push_back({"glEnd", {}});
    }
    expected.push_back({"glEndList", {}});
    // No normal, colour or material inside: drawing supplies the material.
    expectSameCalls(listBody(calls), expected, kSameFloat);
}

TEST_F(TholixTest, CollapsedPentagonReportsEachZeroNormalAndCompletes) {
    testing::internal::CaptureStdout();
    tholix scene(kLat1, kLong1, kLat2, kLong2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // Height 1: all five corners at the north pole, all five normals zero.
    testing::internal::CaptureStdout();
    tholix collapsed(1.0f, 0.1f, kLat2, kLong2);
    std::string out = testing::internal::GetCapturedStdout();
    std::string fiveTimes;
    for (int i = 0; i < 5; ++i) fiveTimes += kNormMessage;
    EXPECT_EQ(out, fiveTimes);
    EXPECT_EQ(collapsed.getVertexCount(), kVertices);
    EXPECT_EQ(collapsed.getFaceCount(), 12);
    EXPECT_NE(collapsed.getListName(), 0u);
    // Its great-circle samples all lie on the y axis; pentagon 2 is unharmed.
    for (int v = 0; v < 500; ++v) {
        ASSERT_EQ(coord(collapsed, v)[0], 0.0) << v;
        ASSERT_EQ(coord(collapsed, v)[2], 0.0) << v;
    }
    for (int v = 500; v < 1000; ++v) ASSERT_EQ(coord(collapsed, v), coord(scene, v)) << v;

    testing::internal::CaptureStdout();
    tholix bothCollapsed(1.0f, 0.0f, 1.0f, 0.0f);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, fiveTimes + fiveTimes);
}

TEST_F(TholixTest, CopiesShareThePentagonArrays) {
    auto original = std::make_unique<tholix>(kLat1, kLong1, kLat2, kLong2);
    std::unique_ptr<object3D> cloned(original->clone());
    auto* copy = dynamic_cast<tholix*>(cloned.get());
    ASSERT_NE(copy, nullptr);
    tholix second(*original);

    float* tholix::*arrays[] = {
        &tholix::long_angles1, &tholix::xcoord1,      &tholix::zcoord1,      &tholix::long_angles2,
        &tholix::xcoord2,      &tholix::zcoord2,      &tholix::pent1_xcross, &tholix::pent1_ycross,
        &tholix::pent1_zcross, &tholix::pent2_xcross, &tholix::pent2_ycross, &tholix::pent2_zcross};
    float before[12][5];
    for (int a = 0; a < 12; ++a) {
        SCOPED_TRACE(a);
        ASSERT_NE(original.get()->*arrays[a], nullptr);
        EXPECT_EQ(copy->*arrays[a], original.get()->*arrays[a]);
        EXPECT_EQ(second.*arrays[a], original.get()->*arrays[a]);
        for (int i = 0; i < 5; ++i) before[a][i] = (original.get()->*arrays[a])[i];
    }
    EXPECT_EQ(copy->res, 100);
    EXPECT_EQ(copy->cnt3, 1030);
    EXPECT_EQ(copy->phi1, original->phi1);
    EXPECT_EQ(copy->getListName(), original->getListName());
    EXPECT_NE(copy->getVertices(), original->getVertices()); // the mesh is copied

    // Destroying the original leaves the arrays to the copies (ASan checks
    // every read below); the copies' own destruction then releases them once.
    original.reset();
    for (int a = 0; a < 12; ++a)
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ((copy->*arrays[a])[i], before[a][i]);
            EXPECT_EQ((second.*arrays[a])[i], before[a][i]);
        }
    EXPECT_EQ(copy->getVertexCount(), kVertices);
    cloned.reset();
    EXPECT_EQ(second.pent1_ycross[0], before[7][0]);
}

TEST_F(TholixTest, RendersItsLinesPointsAndFillsAlone) {
    // Looking straight down from 14 units above, 50-degree field: the figure
    // lies within about 75 pixels of the window centre (the cylinder curves
    // reach y = 5.5, nearer the eye). No lighting, no depth test: every part
    // of the figure is drawn in the current colour, white, on black.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(50, double(kWindowWidth) / kWindowHeight, 1, 30);
    gluLookAt(0, 14, 0, 0, 0, 0, 0, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 1);

    tholix t(kLat1, kLong1, kLat2, kLong2);
    gPolygonCount = 0;
    t.draw(kDrawOpaque);
    EXPECT_EQ(gPolygonCount, 12u);
    const rgbImage img = readBackBuffer();

    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model); // as draw() left it: the figure's placement
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    auto lit = [&](int x, int y) {
        const uint8_t* p = img.at(x, y);
        return p[0] > 128 && p[1] > 128 && p[2] > 128;
    };
    // A line passes within a pixel of each of its sample points.
    auto litNear = [&](const vector3d& c) {
        GLdouble wx, wy, wz;
        gluProject(c[0], c[1], c[2], model, projection, viewport, &wx, &wy, &wz);
        const int x = int(std::lround(wx)), y = int(std::lround(wy));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (lit(x + dx, y + dy)) return true;
        return false;
    };
    for (int v = 0; v < 1030; ++v) EXPECT_TRUE(litNear(coord(t, v))) << "vertex " << v;
    for (int v = 1030; v < kVertices; v += 5) EXPECT_TRUE(litNear(coord(t, v))) << "vertex " << v;

    // Pentagon 2's fill: a 7 x 7 block 20 pixels from the centre lies inside
    // it (its inscribed circle is about 29 pixels) and outside pentagon 1
    // (about 10 pixels): lines alone would leave most of it black.
    const int cx = kWindowWidth / 2, cy = kWindowHeight / 2;
    int filled = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) filled += lit(cx + 20 + dx, cy + dy);
    EXPECT_EQ(filled, 49);
    EXPECT_TRUE(lit(cx, cy)); // inside both pentagons

    // Nothing beyond the cylinder curves.
    for (int a = 0; a < 360; a += 10) {
        const int x = cx + int(std::lround(110 * std::cos(a * kPi / 180)));
        const int y = cy + int(std::lround(110 * std::sin(a * kPi / 180)));
        const uint8_t* p = img.at(x, y);
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << "angle " << a;
    }
    for (auto [x, y] : {std::pair{0, 0},
                        {kWindowWidth - 1, 0},
                        {0, kWindowHeight - 1},
                        {kWindowWidth - 1, kWindowHeight - 1}})
        EXPECT_FALSE(lit(x, y));
}

// Either array alone missing ends construction: the figure must never go on
// to write through a null vertex or face array.
TEST(TholixDeathTest, AllocationFailureEndsThroughFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* const message =
        "tholix constructor couldn't allocate a vertex and/or face array \\(out of memory\\?\\)";
    EXPECT_FATAL((failNothrowArrays = true, tholix(kLat1, kLong1, kLat2, kLong2)), message);
    EXPECT_FATAL((onlyNothrowArrayToFail = 0, tholix(kLat1, kLong1, kLat2, kLong2)), message);
    EXPECT_FATAL((onlyNothrowArrayToFail = 1, tholix(kLat1, kLong1, kLat2, kLong2)), message);
}
