// The look-at camera: its defaults, the eye and target moves, and the one
// gluLookAt it hands to OpenGL onto whatever matrix is current.
#include "support/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "recorder/gl_recorder.h"
#include "tests/harness/gl_window.h"

namespace {
void expectVec(const vec& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.data[0], x);
    EXPECT_FLOAT_EQ(v.data[1], y);
    EXPECT_FLOAT_EQ(v.data[2], z);
    EXPECT_FLOAT_EQ(v.data[3], 1.0f);
}
} // namespace

TEST(Camera, DefaultsLookFromPlusZAtOriginWithYUp) {
    cameraClass c;
    expectVec(c.getLocation(), 0, 0, 8);
    expectVec(c.getTarget(), 0, 0, 0);
    expectVec(c.getUpVector(), 0, 1, 0);
}

TEST(Camera, EyeAndTargetMoveIndependently) {
    cameraClass c;
    c.moveBy(0, 0, -1);
    expectVec(c.getLocation(), 0, 0, 7);
    expectVec(c.getTarget(), 0, 0, 0);
    c.moveTargetBy(1, 2, 3);
    expectVec(c.getTarget(), 1, 2, 3);
    expectVec(c.getLocation(), 0, 0, 7);
    expectVec(c.getUpVector(), 0, 1, 0);
}

using CameraGL = GLTest;

TEST_F(CameraGL, TellGLIssuesExactlyOneLookAtOntoTheCurrentMatrix) {
    cameraClass c;
    c.setLocation(1, 2, 3);
    c.setTarget(4, 5, 6);
    c.setUpVector(0, 0, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    startRecording();
    c.tellGL();
    std::vector<glCall> calls = stopRecording();
    ASSERT_EQ(calls.size(), 1u);
    std::string why;
    EXPECT_TRUE(containsInOrder(calls, {{"gluLookAt", {1, 2, 3, 4, 5, 6, 0, 0, 1}}}, &why)) << why;

    // The look-at went onto the projection matrix and left the model-view alone.
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_NE(projection[12], 0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f);

    // Twice without a reset: the look-at is applied twice.
    GLfloat once[16], twice[16];
    glLoadIdentity();
    c.tellGL();
    glGetFloatv(GL_PROJECTION_MATRIX, once);
    c.tellGL();
    glGetFloatv(GL_PROJECTION_MATRIX, twice);
    EXPECT_NE(once[12], twice[12]);
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(CameraGL, DefaultViewLooksDownMinusZFromEightUnitsAway) {
    cameraClass c;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    c.tellGL();
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    // The view of an eye at (0, 0, 8) looking at the origin with +y up is a
    // pure translation by -8 along z (exact in single precision).
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], i == 14 ? -8.0f : (i % 5 == 0 ? 1.0f : 0.0f));
}
