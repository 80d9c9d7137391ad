// Records the OpenGL, GLU and GLUT calls the system makes, in order, while still
// passing each one on to the real library. Test executables are linked with
// -Wl,--wrap for every call listed in wrapped_calls.cmake, so the system's own
// calls (including those compiled into display lists) reach the recorder.
// How the fixture, the recorder, the clock and the fatal checks fit together:
// tests/README.md.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

struct glCall {
    std::string name;         // e.g. "glVertex3fv"
    std::vector<double> args; // numbers in call order; arrays expanded, pointers as 0/1
};

void startRecording();              // clears and starts recording
std::vector<glCall> stopRecording(); // stops and returns what was recorded
const std::vector<glCall>& recordedCalls();

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

// Only the calls with the given names, in order.
std::vector<glCall> callsNamed(const std::vector<glCall>& calls,
                               std::initializer_list<const char*> names);

// Whether `expected` appears in `calls` as an ordered subsequence (other calls
// may come between). Arguments compare with a relative tolerance; an expected
// call with no arguments matches any arguments. On failure `why` names the first
// expected call that could not be found after the previous match.
bool containsInOrder(const std::vector<glCall>& calls, const std::vector<glCall>& expected,
                     std::string* why = nullptr, double tolerance = 1e-5);

std::string describe(const glCall& c);
