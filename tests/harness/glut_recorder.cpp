#include "tests/harness/glut_recorder.h"

#include <GL/freeglut.h>

namespace {
idleFunction idleFunc = nullptr;
int redisplays = 0;
int fullScreens = 0;
swapHook beforeSwap = nullptr;
} // namespace

idleFunction currentIdleFunc() { return idleFunc; }
int postRedisplayCount() { return redisplays; }
int fullScreenCount() { return fullScreens; }
void setBeforeSwapHook(swapHook hook) { beforeSwap = hook; }

// The wrappers. Each records its call, then calls freeglut's.
#define REAL(ret, name, ...) extern "C" ret __real_##name(__VA_ARGS__);

extern "C" {
REAL(void, glutBitmapCharacter, void*, int)
void __wrap_glutBitmapCharacter(void* font, int c) {
    recordCall("glutBitmapCharacter", {font == GLUT_BITMAP_8_BY_13 ? 8013.0 : 0.0, double(c)});
    __real_glutBitmapCharacter(font, c);
}
REAL(void, glutSwapBuffers, void)
void __wrap_glutSwapBuffers() {
    recordCall("glutSwapBuffers", {});
    if (beforeSwap) beforeSwap();
    __real_glutSwapBuffers();
}
REAL(void, glutIdleFunc, idleFunction)
void __wrap_glutIdleFunc(idleFunction f) {
    recordCall("glutIdleFunc", {f ? 1.0 : 0.0});
    idleFunc = f;
    // The real toolkit refuses calls before glutInit; tests without a window
    // still see the registration through currentIdleFunc().
    if (glutGet(GLUT_INIT_STATE)) __real_glutIdleFunc(f);
}
REAL(void, glutPostRedisplay, void)
void __wrap_glutPostRedisplay() {
    recordCall("glutPostRedisplay", {});
    ++redisplays;
    if (glutGet(GLUT_INIT_STATE) && glutGetWindow()) __real_glutPostRedisplay();
}
REAL(void, glutFullScreen, void)
void __wrap_glutFullScreen() {
    recordCall("glutFullScreen", {});
    ++fullScreens;
    if (glutGet(GLUT_INIT_STATE) && glutGetWindow()) __real_glutFullScreen();
}
}
