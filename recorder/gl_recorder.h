// Records the OpenGL and GLU calls the system makes, in order, while still
// passing each one on to the real library. A program that records is linked
// with -Wl,--wrap for every call in wrapped_calls.cmake (GEODESICS_GL_WRAP_FLAGS),
// so the system's own calls, those compiled into display lists included, reach
// the recorder. The tests check call order with it; the web page's scene export
// reads the scene the program draws from it. GLUT calls are recorded by
// whoever provides GLUT (the tests' harness, the scene export) through recordCall.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

struct glCall {
    std::string name;         // e.g. "glVertex3fv"
    std::vector<double> args; // numbers in call order; arrays expanded, pointers as 0/1
};

void startRecording();               // clears and starts recording
std::vector<glCall> stopRecording(); // stops and returns what was recorded
const std::vector<glCall>& recordedCalls();
void recordCall(const char* name, std::initializer_list<double> args); // while recording

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
