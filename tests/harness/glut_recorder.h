// The tests' GLUT side of the call recorder (recorder/gl_recorder.h): the GLUT
// calls the system makes are recorded and passed on to freeglut, and what they
// register is kept so that tests without a main loop can see it. Linked with
// -Wl,--wrap for the calls in GEODESICS_WRAPPED_GLUT_CALLS (tests/CMakeLists.txt).
#pragma once

#include "recorder/gl_recorder.h"

// The idle callback currently registered through glutIdleFunc (null if none).
using idleFunction = void (*)();
idleFunction currentIdleFunc();
// Counts of glutPostRedisplay / glutFullScreen calls since the process started.
int postRedisplayCount();
int fullScreenCount();

// Called by glutSwapBuffers just before the real swap, so a test can read the
// finished frame from the back buffer (null: no hook).
using swapHook = void (*)();
void setBeforeSwapHook(swapHook hook);
