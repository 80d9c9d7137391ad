// object3D drawing: the calls draw() and privateDraw() hand to OpenGL in each
// pass and form, and the model-view matrix they build, compared with the
// placement the framework computes in software.
#include "support/object3D.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "basicsource/main.h"
#include "tests/harness/fatal_expect.h"
#include "recorder/gl_recorder.h"
#include "tests/harness/gl_window.h"
#include "tests/harness/test_object.h"

namespace {
using calls = std::vector<glCall>;

void expectExactly(const calls& have, const calls& want) {
    std::string all;
    for (const glCall& c : have) all += describe(c) + "\n";
    ASSERT_EQ(have.size(), want.size()) << all;
    std::string why;
    EXPECT_TRUE(containsInOrder(have, want, &why)) << why << "\nrecorded:\n" << all;
}

struct placement {
    float loc[3] = {0, 0, 0}, orient[3] = {0, 0, 0}, scale = 1, localOrient[3] = {0, 0, 0},
          offset[3] = {0, 0, 0}, localScale[3] = {1, 1, 1};
    void applyTo(object3D& o) const {
        o.setLocation(loc[0], loc[1], loc[2]);
        o.setOrientation(orient[0], orient[1], orient[2]);
        o.setScale(scale);
        o.setLocalOrientation(localOrient[0], localOrient[1], localOrient[2]);
        o.setLocalOffset(offset[0], offset[1], offset[2]);
        o.setLocalScale(localScale[0], localScale[1], localScale[2]);
    }
    // The calls that place an object; the local scale only for the object
    // being drawn itself (depth 0).
    void appendCalls(calls& out, bool drawnItself) const {
        out.push_back({"glTranslatef", {loc[0], loc[1], loc[2]}});
        out.push_back({"glRotatef", {orient[0], 1, 0, 0}});
        out.push_back({"glRotatef", {orient[1], 0, 1, 0}});
        out.push_back({"glRotatef", {orient[2], 0, 0, 1}});
        out.push_back({"glScalef", {scale, scale, scale}});
        out.push_back({"glRotatef", {localOrient[0], 1, 0, 0}});
        out.push_back({"glRotatef", {localOrient[1], 0, 1, 0}});
        out.push_back({"glRotatef", {localOrient[2], 0, 0, 1}});
        out.push_back({"glTranslatef", {offset[0], offset[1], offset[2]}});
        if (drawnItself) out.push_back({"glScalef", {localScale[0], localScale[1], localScale[2]}});
    }
};

calls record(object3D& o, bool pass) {
    startRecording();
    o.draw(pass);
    return stopRecording();
}
size_t count(const calls& c, const char* name) { return callsNamed(c, {name}).size(); }

const std::vector<std::array<float, 3>> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
} // namespace

class ObjectDraw : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        gPolygonCount = 0;
    }
};

// --- draw: transform, material, passes and chains ------------------------------------

TEST_F(ObjectDraw, PlacesThenSetsTheMaterialThenDrawsInsideAnAttributePush) {
    placement p;
    p = {{1, 2, 3}, {10, 20, 30}, 2, {40, 50, 60}, {4, 5, 6}, {7, 8, 9}};
    testObject o;
    p.applyTo(o);
    o.setColour(0.1f, 0.2f, 0.3f);
    o.setSpecularColour(0.5f, 0.6f, 0.7f, 0.8f);
    o.setShininess(64);
    o.setMesh({{1, 2, 3}, {4, 5, 6}}, {});

    calls want = {{"glPushAttrib", {double(GL_ALL_ATTRIB_BITS)}}, {"glLoadIdentity", {}}};
    p.appendCalls(want, true);
    calls rest = {{"glMaterialfv", {GL_FRONT, GL_DIFFUSE, 0.1, 0.2, 0.3, 1}},
                  {"glMaterialfv", {GL_FRONT, GL_SPECULAR, 0.5, 0.6, 0.7, 0.8}},
                  {"glMaterialf", {GL_FRONT, GL_SHININESS, 64}},
                  {"glPointSize", {2}},
                  {"glBegin", {GL_POINTS}},
                  {"glVertex3fv", {1, 2, 3}},
                  {"glVertex3fv", {4, 5, 6}},
                  {"glEnd", {}},
                  {"glPointSize", {1}},
                  {"glPopAttrib", {}}};
    want.insert(want.end(), rest.begin(), rest.end());
    expectExactly(record(o, kDrawOpaque), want);
}

TEST_F(ObjectDraw, AncestorsPlaceFirstWithoutTheirLocalScale) {
    placement g, p, c;
    g = {{1, 0, 0}, {0, 0, 30}, 2, {5, 0, 0}, {0, 1, 0}, {9, 9, 9}};
    p = {{0, 3, 0}, {15, 0, 0}, 0.5f, {0, 25, 0}, {0, 0, 2}, {8, 8, 8}};
    c = {{0, 0, 4}, {0, 45, 0}, 3, {0, 0, 35}, {1, 1, 1}, {1, 2, 3}};
    testObject grand, parent, child;
    g.applyTo(grand);
    p.applyTo(parent);
    c.applyTo(child);
    parent.setParent(&grand);
    child.setParent(&parent);

    calls want = {{"glLoadIdentity", {}}};
    g.appendCalls(want, false);
    p.appendCalls(want, false);
    c.appendCalls(want, true);
    calls got = callsNamed(record(child, kDrawOpaque),
                           {"glLoadIdentity", "glTranslatef", "glRotatef", "glScalef"});
    expectExactly(got, want);
}

namespace {
// The software placement as a GL-ordered array: column j is m * e_j.
void softwarePlacement(object3D& o, GLfloat out[16]) {
    for (int j = 0; j < 4; ++j) {
        vec e;
        e.set(j == 0, j == 1, j == 2, j == 3);
        o.getAbsoluteLocation(e);
        for (int i = 0; i < 4; ++i) out[j * 4 + i] = e.data[i];
    }
}
} // namespace

TEST_F(ObjectDraw, ModelviewAfterDrawEqualsTheSoftwarePlacement) {
    placement g, p, c;
    g = {{-2, 1, 0.5f}, {12, -40, 75}, 1.5f, {-20, 10, 5}, {0.3f, -1, 2}, {4, 4, 4}};
    p = {{0, 3, -1}, {90, 15, -30}, 0.5f, {0, 25, 60}, {1, 0, 2}, {0.1f, 5, 5}};
    c = {{2, 0, 4}, {-10, 45, 170}, 3, {33, -70, 35}, {1, -1, 1}, {1, 2, 0.5f}};
    testObject grand, parent, child;
    g.applyTo(grand);
    p.applyTo(parent);
    c.applyTo(child);
    parent.setParent(&grand);
    child.setParent(&parent);

    // draw leaves the model-view matrix at the placement of what it drew last.
    for (testObject* o : {&grand, &parent, &child}) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        o->draw(kDrawOpaque);
        GLfloat gl[16], sw[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        softwarePlacement(*o, sw);
        // Entries up to ~20 after some thirty float products: 1e-5 relative.
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(sw[i], gl[i], 1e-5f * std::max(1.0f, std::fabs(gl[i])))
                << "column " << i / 4 << " row " << i % 4;
    }
}

TEST_F(ObjectDraw, InvisibleObjectDrawsNothingAndStopsItsChain) {
    testObject a, b, c;
    a.setMesh(kSquare, {{0, 1, 2}});
    b.setMesh(kSquare, {{0, 1, 2, 3}});
    c.setMesh(kSquare, {{0, 2, 3}});
    a += b;
    a += c;
    a.next()->hide();
    calls got = record(a, kDrawOpaque);
    EXPECT_EQ(count(got, "glBegin"), 1u);
    EXPECT_EQ(callsNamed(got, {"glBegin"})[0].args[0], GL_TRIANGLES);
    EXPECT_EQ(count(got, "glPushAttrib"), 1u);
    EXPECT_EQ(count(got, "glPopAttrib"), 1u);
    EXPECT_EQ(gPolygonCount, 1u);

    a.hide();
    EXPECT_TRUE(record(a, kDrawOpaque).empty());
    EXPECT_TRUE(record(a, kDrawTranslucent).empty());
}

TEST_F(ObjectDraw, EachObjectDrawsInTheMatchingPassWhileTheChainIsVisitedInBoth) {
    testObject head, glass;
    head.setMesh(kSquare, {{0, 1, 2}, {0, 2, 3}});
    glass.setMesh(kSquare, {{0, 1, 2, 3}});
    glass.setColour(0, 0.5f, 1, 0.25f);
    head += glass;

    // Opaque pass: the head's two triangles; the glass only sets its material.
    calls opaque = record(head, kDrawOpaque);
    calls begins = callsNamed(opaque, {"glBegin"});
    ASSERT_EQ(begins.size(), 2u);
    EXPECT_EQ(begins[0].args[0], GL_TRIANGLES);
    EXPECT_EQ(gPolygonCount, 2u);
    std::string why;
    EXPECT_TRUE(containsInOrder(opaque, {{"glMaterialfv", {GL_FRONT, GL_DIFFUSE, 0, 0.5, 1, 0.25}},
                                         {"glPopAttrib", {}},
                                         {"glPopAttrib", {}}},
                                &why))
        << why;

    // Translucent pass: only the glass, drawn inside the head's attribute push.
    calls translucent = record(head, kDrawTranslucent);
    expectExactly(callsNamed(translucent, {"glPushAttrib", "glPopAttrib", "glBegin"}),
                  {{"glPushAttrib", {}},
                   {"glPushAttrib", {}},
                   {"glBegin", {GL_QUADS}},
                   {"glPopAttrib", {}},
                   {"glPopAttrib", {}}});
    EXPECT_EQ(gPolygonCount, 3u);
    // The head's material is set in this pass too, though it draws nothing.
    EXPECT_TRUE(containsInOrder(translucent,
                                {{"glMaterialfv", {GL_FRONT, GL_DIFFUSE, 1, 1, 1, 1}},
                                 {"glMaterialfv", {GL_FRONT, GL_DIFFUSE, 0, 0.5, 1, 0.25}},
                                 {"glBegin", {GL_QUADS}}},
                                &why))
        << why;
}

TEST_F(ObjectDraw, ChainMembersArePlacedUnderTheHead) {
    placement h, m;
    h = {{1, 0, 0}, {0, 90, 0}, 2, {0, 0, 0}, {0, 0, 0}, {3, 3, 3}};
    m = {{0, 0, 5}, {0, 0, 0}, 1, {0, 0, 0}, {0, 0, 0}, {0.5f, 0.5f, 0.5f}};
    testObject head, member;
    h.applyTo(head);
    m.applyTo(member);
    head += member;
    calls want = {{"glLoadIdentity", {}}};
    h.appendCalls(want, true);
    want.push_back({"glLoadIdentity", {}});
    h.appendCalls(want, false); // as the member's parent: no local scale
    m.appendCalls(want, true);
    expectExactly(callsNamed(record(head, kDrawOpaque),
                             {"glLoadIdentity", "glTranslatef", "glRotatef", "glScalef"}),
                  want);
}

// --- privateDraw: list, point cloud, faces --------------------------------------------

TEST_F(ObjectDraw, DisplayListReplacesTheFacesAndStillCountsThem) {
    GLuint list = glGenLists(1);
    ASSERT_NE(list, 0u);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    glEndList();
    testObject o;
    o.setMesh(kSquare, {{0, 1, 2}, {0, 2, 3}, {0, 1, 2, 3}});
    o.setListName(list);
    startRecording();
    o.privateDraw();
    expectExactly(stopRecording(), {{"glCallList", {double(list)}}});
    EXPECT_EQ(gPolygonCount, 3u);
}

TEST_F(ObjectDraw, MeshWithoutFacesIsACloudOfDoubleSizePoints) {
    testObject o;
    o.setMesh({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}, {-1, -1, -1}, {5, 5, 5}}, {});
    o.vertexAt(0).normal.set(0, 1, 0);
    gPolygonCount = 7;
    startRecording();
    o.privateDraw();
    expectExactly(stopRecording(), {{"glPointSize", {2}},
                                    {"glBegin", {GL_POINTS}},
                                    {"glVertex3fv", {1, 0, 0}},
                                    {"glVertex3fv", {0, 2, 0}},
                                    {"glVertex3fv", {0, 0, 3}},
                                    {"glVertex3fv", {-1, -1, -1}},
                                    {"glVertex3fv", {5, 5, 5}},
                                    {"glEnd", {}},
                                    {"glPointSize", {1}}});
    EXPECT_EQ(gPolygonCount, 7u);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);

    testObject empty; // like a light, were one drawn: an empty point group
    startRecording();
    empty.privateDraw();
    expectExactly(stopRecording(), {{"glPointSize", {2}},
                                    {"glBegin", {GL_POINTS}},
                                    {"glEnd", {}},
                                    {"glPointSize", {1}}});
    EXPECT_EQ(gPolygonCount, 7u);
}

namespace {
// A triangle facing +z and a quad facing +x, sharing vertices 0 and 2.
void mixedMesh(testObject& o) {
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1}}, {{0, 1, 2}, {0, 2, 4, 3}});
}
} // namespace

TEST_F(ObjectDraw, FlatFacesSendOneNormalPerFace) {
    testObject o;
    mixedMesh(o);
    o.calculateFaceNormals();
    startRecording();
    o.privateDraw();
    expectExactly(stopRecording(), {{"glBegin", {GL_TRIANGLES}},
                                    {"glNormal3fv", {0, 0, 1}},
                                    {"glVertex3fv", {0, 0, 0}},
                                    {"glVertex3fv", {1, 0, 0}},
                                    {"glVertex3fv", {0, 1, 0}},
                                    {"glEnd", {}},
                                    {"glBegin", {GL_QUADS}},
                                    {"glNormal3fv", {1, 0, 0}},
                                    {"glVertex3fv", {0, 0, 0}},
                                    {"glVertex3fv", {0, 1, 0}},
                                    {"glVertex3fv", {0, 1, 1}},
                                    {"glVertex3fv", {0, 0, 1}},
                                    {"glEnd", {}}});
    EXPECT_EQ(gPolygonCount, 2u);
}

TEST_F(ObjectDraw, SmoothFacesSendEachCornersVertexNormal) {
    testObject o;
    mixedMesh(o);
    o.calculateVertexNormals();
    o.setFlatFaces(kSmoothFaces);
    startRecording();
    o.privateDraw();
    expectExactly(stopRecording(), {{"glBegin", {GL_TRIANGLES}},
                                    {"glNormal3fv", {0.5, 0, 0.5}},
                                    {"glVertex3fv", {0, 0, 0}},
                                    {"glNormal3fv", {0, 0, 1}},
                                    {"glVertex3fv", {1, 0, 0}},
                                    {"glNormal3fv", {0.5, 0, 0.5}},
                                    {"glVertex3fv", {0, 1, 0}},
                                    {"glEnd", {}},
                                    {"glBegin", {GL_QUADS}},
                                    {"glNormal3fv", {0.5, 0, 0.5}},
                                    {"glVertex3fv", {0, 0, 0}},
                                    {"glNormal3fv", {0.5, 0, 0.5}},
                                    {"glVertex3fv", {0, 1, 0}},
                                    {"glNormal3fv", {1, 0, 0}},
                                    {"glVertex3fv", {0, 1, 1}},
                                    {"glNormal3fv", {1, 0, 0}},
                                    {"glVertex3fv", {0, 0, 1}},
                                    {"glEnd", {}}});
    EXPECT_EQ(gPolygonCount, 2u);
}

TEST_F(ObjectDraw, AQuadReinitialisedAsATriangleDrawsThreeCorners) {
    testObject o;
    o.setMesh(kSquare, {{0, 1, 2, 3}});
    o.faceAt(0).init(3, 1, 2);
    startRecording();
    o.privateDraw();
    calls got = stopRecording();
    expectExactly(callsNamed(got, {"glBegin", "glVertex3fv"}), {{"glBegin", {GL_TRIANGLES}},
                                                                 {"glVertex3fv", {0, 1, 0}},
                                                                 {"glVertex3fv", {1, 0, 0}},
                                                                 {"glVertex3fv", {1, 1, 0}}});
}

TEST_F(ObjectDraw, AFaceThatWasNeverInitialisedIsFatalWhenDrawn) {
    testObject o;
    o.setMesh(kSquare, {{0, 1, 2}, {}});
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the child makes its own context
    EXPECT_FATAL(o.privateDraw(), "^face::vertex\\(\\) tried to read invalid vertex index\n$");
}

TEST_F(ObjectDraw, DrawnFacesLightUpTheirPixels) {
    // A unit square facing the viewer through an orthographic projection; the
    // material's diffuse colour under one white light, so red only.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -5, 5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    GLfloat black[] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    testObject o;
    o.setMesh(kSquare, {{0, 1, 2, 3}});
    o.calculateFaceNormals();
    o.setColour(1, 0, 0);
    o.setSpecularColour(0, 0, 0, 1);
    o.draw(kDrawOpaque);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    GLfloat defaultAmbient[] = {0.2f, 0.2f, 0.2f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, defaultAmbient);
    rgbImage img = readBackBuffer();
    // The square covers x, y in [0, 1] of [-2, 2]: pixels 360..540 across,
    // 288..432 up. Its centre is red, the window's centre corner is not.
    const uint8_t* inside = img.at(450, 360);
    EXPECT_GT(inside[0], 200);
    EXPECT_EQ(inside[1], 0);
    EXPECT_EQ(inside[2], 0);
    const uint8_t* outside = img.at(300, 360);
    EXPECT_EQ(outside[0], 0);
}
