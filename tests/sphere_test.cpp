// The sphere: ring and pole layout, the worked examples, a closed surface wound
// outwards, normals along the radius, the display list recorded at
// construction (checked call by call and as geometry), the grid-size limits,
// copies, and the rendered sphere in the back buffer.
#include "objects/sphere.h"

#include <GL/gl.h>
#include <GL/glu.h>
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
const double kDeg = kPi / 180;
// Vertices come from float sin_d/cos_d products: about 1e-6 of their size.
const double kFloatTol = 2e-6;

using SphereTest = GLTest; // the constructor records a display list

// The triangles and quadrilaterals a recorded list draws, as corner lists,
// decoded from its fans and quad strips.
std::vector<std::vector<vector3d>> decodePrimitives(const std::vector<glCall>& body, int* fans,
                                                    int* strips) {
    std::vector<std::vector<vector3d>> polygons;
    std::vector<vector3d> points;
    double mode = -1;
    *fans = *strips = 0;
    for (const glCall& c : body) {
        if (c.name == "glBegin") {
            mode = c.args[0];
            points.clear();
        } else if (c.name == "glVertex3fv") {
            points.push_back({c.args[0], c.args[1], c.args[2]});
        } else if (c.name == "glEnd" && mode == GL_TRIANGLE_FAN) {
            ++*fans;
            for (size_t k = 1; k + 1 < points.size(); ++k)
                polygons.push_back({points[0], points[k], points[k + 1]});
        } else if (c.name == "glEnd" && mode == GL_QUAD_STRIP) {
            ++*strips;
            for (size_t k = 0; k + 3 < points.size(); k += 2)
                polygons.push_back({points[k], points[k + 1], points[k + 3], points[k + 2]});
        }
    }
    return polygons;
}
} // namespace

TEST_F(SphereTest, CountsPolesAndRingsOfGrid30) {
    sphere s(30);
    EXPECT_EQ(s.getVertexCount(), 872);
    EXPECT_EQ(s.getFaceCount(), 900);
    // 28 bands of 30 quadrilaterals, then two caps of 30 triangles.
    for (int f = 0; f < 900; ++f) ASSERT_EQ(s.getFaces()[f].vertices, f < 840 ? 4 : 3) << f;
    EXPECT_EQ(coord(s, 870), (vector3d{0, 1, 0}));
    EXPECT_EQ(coord(s, 871), (vector3d{0, -1, 0}));
    // Ring r at latitude 90 - 6r, step j at longitude 12j from +x towards +z.
    // The latitude is lowered by repeated float subtraction, so allow for the
    // rounding that accumulates over 29 rings.
    for (int r = 1; r < 30; ++r)
        for (int j = 0; j < 30; ++j) {
            SCOPED_TRACE(testing::Message() << "ring " << r << " step " << j);
            const vector3d c = coord(s, (r - 1) * 30 + j);
            const double lat = (90 - 6.0 * r) * kDeg, lon = 12.0 * j * kDeg;
            EXPECT_NEAR(c[0], std::cos(lat) * std::cos(lon), 1e-5);
            EXPECT_NEAR(c[1], std::sin(lat), 1e-5);
            EXPECT_NEAR(c[2], std::cos(lat) * std::sin(lon), 1e-5);
        }
    EXPECT_NEAR(coord(s, 0)[1], std::sin(84 * kDeg), kFloatTol);
}

TEST_F(SphereTest, Grid4Examples) {
    sphere s(4);
    EXPECT_EQ(s.getVertexCount(), 14);
    EXPECT_EQ(s.getFaceCount(), 16);
    EXPECT_NEAR(coord(s, 0)[0], std::cos(45 * kDeg), kFloatTol);
    EXPECT_NEAR(coord(s, 0)[1], std::sin(45 * kDeg), kFloatTol);
    EXPECT_EQ(coord(s, 0)[2], 0.0);
    auto corners = [&](int f) {
        const face& fc = s.getFaces()[f];
        return std::vector<int>(fc.vert, fc.vert + fc.vertices);
    };
    EXPECT_EQ(corners(0), (std::vector<int>{0, 1, 5, 4}));
    EXPECT_EQ(corners(3), (std::vector<int>{3, 0, 4, 7})); // the seam: step 3 back to 0
    EXPECT_EQ(corners(8), (std::vector<int>{12, 1, 0}));   // north cap, N = 12
    EXPECT_EQ(corners(11), (std::vector<int>{12, 0, 3}));
    EXPECT_EQ(corners(12), (std::vector<int>{8, 9, 13})); // south cap, B = 8, S = 13
    EXPECT_EQ(corners(15), (std::vector<int>{11, 8, 13}));
}

TEST_F(SphereTest, Grid2HasOneRingTwoCapsAndNoBand) {
    startRecording();
    sphere s(2);
    const auto body = listBody(stopRecording());
    EXPECT_EQ(s.getVertexCount(), 4);
    EXPECT_EQ(s.getFaceCount(), 4);
    EXPECT_NEAR(coord(s, 0)[1], 0.0, 1e-7); // ring 1 on the equator
    EXPECT_NEAR(coord(s, 1)[0], -1.0, kFloatTol);
    EXPECT_EQ(callsNamed(body, {"glBegin"}).size(), 2u);
    EXPECT_TRUE(containsInOrder(body, {{"glBegin", {GL_TRIANGLE_FAN}},
                                       {"glEnd", {}},
                                       {"glBegin", {GL_TRIANGLE_FAN}},
                                       {"glEnd", {}}}));
}

TEST_F(SphereTest, ClosedSurfaceWoundOutwardsAtEveryGridSize) {
    // From 3 up: with n = 2 the one ring is two opposite points, and each cap
    // is the same flat triangle twice, once per side.
    for (short n : {3, 4, 7, 30, 181}) {
        SCOPED_TRACE(n);
        sphere s(n);
        EXPECT_EQ(s.getVertexCount(), n * (n - 1) + 2);
        EXPECT_EQ(s.getFaceCount(), n * n);
        expectIndicesInRange(s);
        expectClosedAndConsistent(s);
        for (int f = 0; f < s.getFaceCount(); ++f)
            ASSERT_GT(dot(windingNormal(s, f), centroid(s, f)), 0.0) << "face " << f;
        for (int v = 0; v < s.getVertexCount(); ++v)
            ASSERT_NEAR(length(coord(s, v)), 1.0, kFloatTol) << "vertex " << v;
    }
}

TEST_F(SphereTest, VertexNormalsFollowTheRadius) {
    // Each vertex normal is the mean of the unit normals of the faces around
    // it; on a sphere that mean leans from the radius by no more than the
    // faces' tilt, and is a little shorter than 1.
    sphere s(30);
    for (int v = 0; v < s.getVertexCount(); ++v) {
        SCOPED_TRACE(v);
        const float* n = s.getVertices()[v].normal.data;
        const vector3d normal{n[0], n[1], n[2]};
        EXPECT_GT(dot(normal, coord(s, v)) / length(normal), 0.998);
        EXPECT_LE(length(normal), 1.0 + 1e-6);
        EXPECT_GT(length(normal), 0.98);
    }
}

TEST_F(SphereTest, DisplayListOfGrid4CallByCall) {
    startRecording();
    sphere s(4);
    const auto calls = stopRecording();
    // Nothing but list generation and the list itself is issued: the list is
    // compiled, not drawn.
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(describe(calls.front()), "glGenLists(1, " + std::to_string(s.getListName()) + ")");
    EXPECT_EQ(calls.back().name, "glEndList");
    ASSERT_NE(s.getListName(), 0u);

    const int n = 4, north = 12, south = 13, last = 8;
    std::vector<glCall> expected = {{"glNewList", {double(s.getListName()), GL_COMPILE}}};
    auto send = [&](int v) {
        expected.push_back(normalCall(s, v));
        expected.push_back(vertexCall(s, v));
    };
    expected.push_back({"glBegin", {GL_TRIANGLE_FAN}});
    for (int v : {north, 0, 3, 2, 1, 0}) send(v);
    expected.push_back({"glEnd", {}});
    expected.push_back({"glBegin", {GL_TRIANGLE_FAN}});
    for (int v : {south, last + 3, last + 0, last + 1, last + 2, last + 3}) send(v);
    expected.push_back({"glEnd", {}});
    for (int band = 0; band < n - 2; ++band) {
        expected.push_back({"glBegin", {GL_QUAD_STRIP}});
        for (int j = 0; j < n; ++j) {
            send((band + 1) * n + j);
            send(band * n + j);
        }
        send((band + 1) * n);
        send(band * n);
        expected.push_back({"glEnd", {}});
    }
    expected.push_back({"glEndList", {}});
    expectSameCalls(listBody(calls), expected);
}

TEST_F(SphereTest, DisplayListOfGrid30CoversTheSphereWoundOutwards) {
    startRecording();
    sphere s(30);
    const auto body = listBody(stopRecording());
    int fans = 0, strips = 0;
    const auto polygons = decodePrimitives(body, &fans, &strips);
    EXPECT_EQ(fans, 2);
    EXPECT_EQ(strips, 28);
    EXPECT_EQ(polygons.size(), 900u); // as many as the mesh has faces
    for (size_t p = 0; p < polygons.size(); ++p) {
        const auto& c = polygons[p];
        vector3d area{0, 0, 0}, centre{0, 0, 0};
        for (size_t k = 1; k + 1 < c.size(); ++k) {
            const vector3d t = cross(minus(c[k], c[0]), minus(c[k + 1], c[0]));
            for (int i = 0; i < 3; ++i) area[i] += t[i];
        }
        for (const vector3d& q : c)
            for (int i = 0; i < 3; ++i) centre[i] += q[i];
        ASSERT_GT(dot(area, centre), 0.0) << "polygon " << p;
    }
    // Every vertex goes with its own normal.
    const auto sent = callsNamed(body, {"glNormal3fv", "glVertex3fv"});
    ASSERT_EQ(sent.size() % 2, 0u);
    for (size_t k = 0; k < sent.size(); k += 2) {
        ASSERT_EQ(sent[k].name, "glNormal3fv");
        const vector3d normal{sent[k].args[0], sent[k].args[1], sent[k].args[2]};
        const vector3d point{sent[k + 1].args[0], sent[k + 1].args[1], sent[k + 1].args[2]};
        ASSERT_GT(dot(normal, point), 0.97) << "call " << k;
    }
}

TEST_F(SphereTest, CopiesShareTheListButOwnTheirMesh) {
    auto original = std::make_unique<sphere>(6);
    std::unique_ptr<object3D> copy(original->clone());
    ASSERT_NE(dynamic_cast<sphere*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getListName(), original->getListName());
    EXPECT_NE(copy->getVertices(), original->getVertices());
    const vector3d expected = coord(*original, 9);
    original.reset(); // the copy's arrays must survive (checked under ASan)
    EXPECT_EQ(copy->getVertexCount(), 32);
    EXPECT_EQ(coord(*copy, 9), expected);
}

TEST_F(SphereTest, RendersAsALitDiscOnTheBackground) {
    // Camera 6 units out on +z, 40-degree field: the unit sphere's outline is
    // about 134 pixels in radius around the window centre. One directional
    // light from the viewer, no specular, so the sphere's centre shows its red
    // diffuse colour at full strength.
    glMatrixMode(GL_PROJECTION);
    gluPerspective(40, double(kWindowWidth) / kWindowHeight, 1, 20);
    gluLookAt(0, 0, 6, 0, 0, 0, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT0);
    const GLfloat fromViewer[] = {0, 0, 1, 0}, none[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, fromViewer);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);

    sphere s(30);
    s.draw(kDrawOpaque);
    const rgbImage front = readBackBuffer();

    // With front faces culled instead, what shows is the inside of the far
    // half, whose outward normals face away from the light: dark. A list wound
    // the wrong way round would swap the two pictures.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glCullFace(GL_FRONT);
    s.draw(kDrawOpaque);
    const rgbImage back = readBackBuffer();
    glCullFace(GL_BACK);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    const int cx = kWindowWidth / 2, cy = kWindowHeight / 2;
    const uint8_t* centre = front.at(cx, cy);
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[1], 40);
    EXPECT_LT(centre[2], 40);
    // 100 pixels out the surface is lit at a slant: still clearly red.
    for (auto [dx, dy] : {std::pair{100, 0}, {-100, 0}, {0, 100}, {0, -100}}) {
        const uint8_t* p = front.at(cx + dx, cy + dy);
        EXPECT_GT(p[0], 100) << dx << "," << dy;
        EXPECT_LT(p[1], 40) << dx << "," << dy;
    }
    // Beyond the outline and in the corners: the black background.
    for (auto [x, y] : {std::pair{cx + 170, cy},
                        {cx, cy - 170},
                        {2, 2},
                        {kWindowWidth - 3, 2},
                        {2, kWindowHeight - 3},
                        {kWindowWidth - 3, kWindowHeight - 3}}) {
        const uint8_t* p = front.at(x, y);
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << x << "," << y;
    }
    EXPECT_LT(back.at(cx, cy)[0], 60);
}

TEST(SphereDeathTest, GridSizeLimitsAndAllocationFailure) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The checks come before any allocation or GL call, so no window is needed.
    for (short n : {-1, 0, 1, 182, 1000}) {
        SCOPED_TRACE(n);
        EXPECT_FATAL(sphere{n}, "sphere constructor: grid size must be between 2 and 181");
    }
    EXPECT_FATAL((failNothrowArrays = true, sphere{30}),
                 "sphere constructor couldn't allocate a vertex and/or face array \\(out of "
                 "memory\\?\\)");
}
