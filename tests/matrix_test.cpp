// matrix: [row][column] storage for column vectors, products applied right to
// left as OpenGL composes them. The conventions are checked against OpenGL's
// own matrices (read back and transposed from its column-major order).
#include "support/matrix.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/harness/gl_window.h"

namespace {
vec point(float x, float y, float z, float w = 1) {
    vec v;
    v.set(x, y, z, w);
    return v;
}
// Rotations of unit vectors in single precision: 1e-6 absolute.
void expectVec(const vec& v, float x, float y, float z, float w, float tol = 1e-6f) {
    EXPECT_NEAR(v.data[0], x, tol);
    EXPECT_NEAR(v.data[1], y, tol);
    EXPECT_NEAR(v.data[2], z, tol);
    EXPECT_NEAR(v.data[3], w, tol);
}
void expectIdentity(const matrix& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(m.element(r, c), r == c ? 1.0f : 0.0f);
}
// OpenGL stores column after column: element [row][column] is at column*4 + row.
void expectSameAsGL(const matrix& m, const GLfloat gl[16], float tol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.element(r, c), gl[c * 4 + r], tol) << "[" << r << "][" << c << "]";
}
} // namespace

TEST(Matrix, DefaultIsIdentityAndSetFillsRowByRow) {
    matrix m;
    expectIdentity(m);
    m.set(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(m.element(r, c), float(r * 4 + c + 1));
    // A column vector: row i of the matrix dotted with the vector, w included.
    vec v = point(1, 0, 0, 1);
    expectVec(m * v, 1 + 4, 5 + 8, 9 + 12, 13 + 16, 0);
}

TEST(Matrix, TranslationMovesPointsButNotDirections) {
    matrix t;
    t.setTranslate(1, 2, 3);
    EXPECT_EQ(t.element(0, 3), 1);
    EXPECT_EQ(t.element(1, 3), 2);
    EXPECT_EQ(t.element(2, 3), 3);
    vec origin = point(0, 0, 0);
    expectVec(t * origin, 1, 2, 3, 1);
    vec direction = point(4, 5, 6, 0);
    expectVec(t * direction, 4, 5, 6, 0);
}

TEST(Matrix, RotationsAreRightHandedAndInDegrees) {
    matrix r;
    r.setRotateZ(90);
    vec ex = point(1, 0, 0), ey = point(0, 1, 0), ez = point(0, 0, 1);
    expectVec(r * ex, 0, 1, 0, 1);
    r.setRotateX(90);
    expectVec(r * ey, 0, 0, 1, 1);
    r.setRotateY(90);
    expectVec(r * ez, 1, 0, 0, 1);
    r.setRotateY(-30);
    expectVec(r * ex, 0.8660254f, 0, 0.5f, 1);
}

TEST(Matrix, ScaleKeepsTheHomogeneousElement) {
    matrix s;
    s.setScale(2);
    vec p = point(1, 2, 3);
    expectVec(s * p, 2, 4, 6, 1);
    EXPECT_EQ(s.element(3, 3), 1);
    s.setScale(1, -2, 0.5f);
    expectVec(s * p, 1, -4, 1.5f, 1);
}

TEST(Matrix, ProductAppliesTheRightHandFactorFirst) {
    matrix t, r;
    t.setTranslate(5, 0, 0);
    r.setRotateZ(90);
    matrix tr = t * r;
    vec ex = point(1, 0, 0);
    expectVec(tr * ex, 5, 1, 0, 1);
    matrix rt = r * t; // the other order translates first: (6, 0, 0) turned
    expectVec(rt * ex, 0, 6, 0, 1, 1e-5f);
}

TEST(Matrix, EverySetterReplacesTheWholeMatrix) {
    matrix m;
    m.setRotateX(40);
    m.setTranslate(1, 2, 3);
    vec ey = point(0, 1, 0);
    expectVec(m * ey, 1, 3, 3, 1); // no rotation remains
    m.setScale(3);
    m.setRotateZ(0);
    expectIdentity(m);
    m.set(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    m.setScale(1, 1, 1);
    expectIdentity(m);
}

TEST(Matrix, PrintsRowByRowThenAnEmptyLine) {
    matrix m;
    testing::internal::CaptureStdout();
    m.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "1,0,0,0,\n0,1,0,0,\n0,0,1,0,\n0,0,0,1,\n\n");
    m.setTranslate(-1.5f, 2, 0.125f);
    testing::internal::CaptureStdout();
    m.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "1,0,0,-1.5,\n0,1,0,2,\n0,0,1,0.125,\n0,0,0,1,\n\n");
}

using MatrixGL = GLTest;

TEST_F(MatrixGL, RotationsMatchGlRotate) {
    const float angles[] = {-135, -30, 0, 12.5f, 90, 200, 359};
    GLfloat gl[16];
    for (float a : angles) {
        matrix m;
        glLoadIdentity();
        glRotatef(a, 1, 0, 0);
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        m.setRotateX(a);
        expectSameAsGL(m, gl, 1e-6f);
        glLoadIdentity();
        glRotatef(a, 0, 1, 0);
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        m.setRotateY(a);
        expectSameAsGL(m, gl, 1e-6f);
        glLoadIdentity();
        glRotatef(a, 0, 0, 1);
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        m.setRotateZ(a);
        expectSameAsGL(m, gl, 1e-6f);
    }
}

TEST_F(MatrixGL, ProductsComposeInOpenGLCallOrder) {
    // glTranslate, glRotate (x, y, z), glScale, glTranslate, issued in that
    // order, against the same factors multiplied on the right in software.
    glLoadIdentity();
    glTranslatef(3, -2, 7);
    glRotatef(25, 1, 0, 0);
    glRotatef(-70, 0, 1, 0);
    glRotatef(140, 0, 0, 1);
    glScalef(2, 0.5f, 3);
    glTranslatef(-1, 4, 0.5f);
    GLfloat gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);

    matrix m, f;
    f.setTranslate(3, -2, 7);
    m = m * f;
    f.setRotateX(25);
    m = m * f;
    f.setRotateY(-70);
    m = m * f;
    f.setRotateZ(140);
    m = m * f;
    f.setScale(2, 0.5f, 3);
    m = m * f;
    f.setTranslate(-1, 4, 0.5f);
    m = m * f;
    // Elements up to ~10 after six products in single precision: 1e-5.
    expectSameAsGL(m, gl, 1e-5f);
}
