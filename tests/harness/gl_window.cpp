#include "tests/harness/gl_window.h"

#include <GL/freeglut.h>

#include "basicsource/constants.h"
#include "recorder/gl_recorder.h"

namespace {
int window = 0;
void noDisplay() {}
} // namespace

void ensureGLWindow() {
    if (window) {
        glutSetWindow(window);
        return;
    }
    int argc = 1;
    char name[] = "geodesics-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutInitWindowPosition(100, 100);
    glutInitDisplayString("double rgb depth>=16");
    window = glutCreateWindow("geodesics test");
    glutDisplayFunc(noDisplay);
    glutHideWindow();
    glutMainLoopEvent();
}

rgbImage readBackBuffer() {
    rgbImage img;
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    img.width = kWindowWidth;
    img.height = kWindowHeight;
    img.pixels.resize(size_t(3) * img.width * img.height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, img.width, img.height, GL_RGB, GL_UNSIGNED_BYTE, img.pixels.data());
    return img;
}

void GLTest::SetUp() {
    ensureGLWindow();
    stopRecording();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glPointSize(1);
    glLineWidth(1);
    while (glGetError() != GL_NO_ERROR) {
    }
}
