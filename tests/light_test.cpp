// light: construction defaults and the light number check, and what tellGL()
// hands to OpenGL, both as calls and as the state OpenGL keeps (the position
// it stores in eye coordinates).
#include "support/light.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/harness/fatal_expect.h"
#include "recorder/gl_recorder.h"
#include "tests/harness/gl_window.h"

namespace {
void expectExactly(const std::vector<glCall>& have, const std::vector<glCall>& want) {
    std::string all;
    for (const glCall& c : have) all += describe(c) + "\n";
    ASSERT_EQ(have.size(), want.size()) << all;
    std::string why;
    EXPECT_TRUE(containsInOrder(have, want, &why)) << why << "\nrecorded:\n" << all;
}
std::vector<glCall> tellGLCalls(light& l) {
    startRecording();
    l.tellGL();
    return stopRecording();
}
void expectColour(light& l, float r, float g, float b, float a) {
    float c[4];
    l.getColour(c[0], c[1], c[2], c[3]);
    EXPECT_FLOAT_EQ(c[0], r);
    EXPECT_FLOAT_EQ(c[1], g);
    EXPECT_FLOAT_EQ(c[2], b);
    EXPECT_FLOAT_EQ(c[3], a);
}
void expectLocation(light& l, float x, float y, float z, float w) {
    vec v;
    l.getLocation(v);
    EXPECT_FLOAT_EQ(v.data[0], x);
    EXPECT_FLOAT_EQ(v.data[1], y);
    EXPECT_FLOAT_EQ(v.data[2], z);
    EXPECT_FLOAT_EQ(v.data[3], w);
}
const char* const kNoSuchLight = "^attempt to create a non-existent OpenGL light\n$";
} // namespace

TEST(Light, ConstructorsSetTheirDefaultsAndStartOff) {
    light plain;
    expectLocation(plain, -6, 1.5f, 2.25f, 1);
    expectColour(plain, 0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(plain.isTranslucent()); // its colour's alpha is 0.5
    EXPECT_FALSE(plain.isOn());

    light numbered(3);
    expectLocation(numbered, -6, 1.5f, 25, 1);
    expectColour(numbered, 0.7f, 0.7f, 0.7f, 1);
    EXPECT_FALSE(numbered.isTranslucent());
    EXPECT_FALSE(numbered.isOn());
    EXPECT_EQ(numbered.getVertexCount(), 0);
    EXPECT_EQ(numbered.getFaceCount(), 0);
    EXPECT_EQ(numbered.getListName(), 0u);

    numbered.turnOn();
    EXPECT_TRUE(numbered.isOn());
    numbered.turnOff();
    EXPECT_FALSE(numbered.isOn());
}

TEST(Light, NumbersOutsideZeroToSevenAreFatal) {
    EXPECT_FATAL(light(8), kNoSuchLight);
    EXPECT_FATAL(light(-1), kNoSuchLight); // taken as unsigned: 65535
    EXPECT_FATAL(light(short(-32768)), kNoSuchLight);
}

using LightGL = GLTest;

TEST_F(LightGL, ConstructionMakesNoOpenGLCall) {
    startRecording();
    light a;
    light b(5);
    light c(b);
    EXPECT_TRUE(stopRecording().empty());
}

TEST_F(LightGL, EachNumberDrivesItsOwnOpenGLLight) {
    for (short n = 0; n <= 7; ++n) {
        light l(n);
        expectExactly(tellGLCalls(l), {{"glDisable", {double(GL_LIGHT0 + n)}}});
    }
    light plain;
    expectExactly(tellGLCalls(plain), {{"glDisable", {GL_LIGHT0}}});
}

TEST_F(LightGL, SwitchedOffItOnlyDisablesItsLight) {
    light l(2);
    glEnable(GL_LIGHT2);
    expectExactly(tellGLCalls(l), {{"glDisable", {GL_LIGHT2}}});
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    l.turnOn(); // nothing reaches OpenGL until the next tellGL
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
}

TEST_F(LightGL, SwitchedOnItPlacesItselfAndSendsPositionDiffuseSpecular) {
    light l(1);
    l.setLocation(-5, 0, 5);
    l.setColour(1, 0.9f, 0.8f, 1);
    l.setSpecularColour(0.4f, 0.3f, 0.2f, 0.1f);
    l.turnOn();
    expectExactly(tellGLCalls(l), {{"glEnable", {GL_LIGHT1}},
                                   {"glLoadIdentity", {}},
                                   {"glTranslatef", {-5, 0, 5}},
                                   {"glRotatef", {0, 1, 0, 0}},
                                   {"glRotatef", {0, 0, 1, 0}},
                                   {"glRotatef", {0, 0, 0, 1}},
                                   {"glScalef", {1, 1, 1}},
                                   {"glRotatef", {0, 1, 0, 0}},
                                   {"glRotatef", {0, 0, 1, 0}},
                                   {"glRotatef", {0, 0, 0, 1}},
                                   {"glTranslatef", {0, 0, 0}},
                                   {"glScalef", {1, 1, 1}},
                                   {"glLightfv", {GL_LIGHT1, GL_POSITION, -5, 0, 5, 1}},
                                   {"glLightfv", {GL_LIGHT1, GL_DIFFUSE, 1, 0.9, 0.8, 1}},
                                   {"glLightfv", {GL_LIGHT1, GL_SPECULAR, 0.4, 0.3, 0.2, 0.1}}});
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    glDisable(GL_LIGHT1);
}

namespace {
// The position OpenGL keeps for a light is in eye coordinates: the given
// position carried through the model-view matrix current at the call.
void expectEyePosition(GLenum id, float x, float y, float z, float w) {
    GLfloat p[4];
    glGetLightfv(id, GL_POSITION, p);
    // Products of a few placement factors in single precision: 1e-5.
    EXPECT_NEAR(p[0], x, 1e-5f);
    EXPECT_NEAR(p[1], y, 1e-5f);
    EXPECT_NEAR(p[2], z, 1e-5f);
    EXPECT_NEAR(p[3], w, 1e-5f);
}
} // namespace

TEST_F(LightGL, PositionIsGivenUnderItsOwnPlacementSoTwiceTheLocation) {
    light l(0);
    l.setLocation(-5, 0, 5);
    l.turnOn();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    l.tellGL();
    expectEyePosition(GL_LIGHT0, -10, 0, 10, 1);
    // tellGL leaves its placement on the model-view matrix.
    GLfloat mv[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    EXPECT_FLOAT_EQ(mv[12], -5);
    EXPECT_FLOAT_EQ(mv[13], 0);
    EXPECT_FLOAT_EQ(mv[14], 5);

    // Whatever the matrix held before, tellGL starts from the identity.
    glLoadIdentity();
    glTranslatef(100, 100, 100);
    l.tellGL();
    expectEyePosition(GL_LIGHT0, -10, 0, 10, 1);
    glDisable(GL_LIGHT0);
}

TEST_F(LightGL, PositionFollowsOrientationParentAndW) {
    light l(4);
    l.setLocation(1, 0, 0);
    l.setOrientation(0, 0, 90); // the position (1, 0, 0) turned to (0, 1, 0), then moved
    l.turnOn();
    l.tellGL();
    expectEyePosition(GL_LIGHT4, 1, 1, 0, 1);

    light parent(5);
    parent.setLocation(0, 0, 3);
    l.setOrientation(0, 0, 0);
    l.setParent(&parent);
    l.tellGL();
    expectEyePosition(GL_LIGHT4, 2, 0, 3, 1);

    // A w of 0 makes a directional light: the translations do not move it.
    vec direction;
    direction.set(0, 1, 0, 0);
    l.setParent(nullptr);
    l.setLocation(direction);
    l.tellGL();
    expectEyePosition(GL_LIGHT4, 0, 1, 0, 0);
    glDisable(GL_LIGHT4);
}

TEST_F(LightGL, ACloneDrivesTheSameOpenGLLight) {
    light original(6);
    original.setLocation(1, 2, 3);
    original.turnOn();
    std::unique_ptr<object3D> cloned(original.clone());
    light& twin = static_cast<light&>(*cloned);
    EXPECT_TRUE(twin.isOn());
    expectLocation(twin, 1, 2, 3, 1);

    // Whichever tells OpenGL last decides.
    twin.turnOff();
    original.tellGL();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT6));
    expectExactly(tellGLCalls(twin), {{"glDisable", {GL_LIGHT6}}});
    EXPECT_FALSE(glIsEnabled(GL_LIGHT6));
    twin.turnOn();
    twin.setLocation(0, 0, 4);
    twin.tellGL();
    expectEyePosition(GL_LIGHT6, 0, 0, 8, 1);
    glDisable(GL_LIGHT6);
}
