#include "basicsource/utility.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "mathematics/camera_flight.h"

namespace {
enum { x = 0, y = 1, z = 2 };
}

float sin_d(float f) { return float(std::sin(double(f) / degPerRad)); }
float cos_d(float f) { return float(std::cos(double(f) / degPerRad)); }
float atan_d(float f) { return float(std::atan(double(f)) * degPerRad); }

void ReduceToUnit(float vector[3]) {
    float length = float(std::sqrt(double(vector[x]) * vector[x] + double(vector[y]) * vector[y] +
                                   double(vector[z]) * vector[z]));
    if (length == 0.0f) length = 1.0f; // a zero vector stays zero
    vector[x] /= length;
    vector[y] /= length;
    vector[z] /= length;
}

void calculateNormal(float out[3], const float va[3], const float vb[3], const float vc[3]) {
    float v1[3], v2[3];
    v1[x] = va[x] - vb[x];
    v1[y] = va[y] - vb[y];
    v1[z] = va[z] - vb[z];
    v2[x] = vb[x] - vc[x];
    v2[y] = vb[y] - vc[y];
    v2[z] = vb[z] - vc[z];
    out[x] = v1[y] * v2[z] - v1[z] * v2[y];
    out[y] = v1[z] * v2[x] - v1[x] * v2[z];
    out[z] = v1[x] * v2[y] - v1[y] * v2[x];
    ReduceToUnit(out);
}

// The easing itself lives with the flight that uses it, as a function of an
// explicit time, so front ends without this clock compute the same values.
float smoothAcceleration(float startTime, float rampDur, float cruiseDur, float initialVal,
                         float finalVal) {
    return easedValue(getAnimationTime(), startTime, rampDur, cruiseDur, initialVal, finalVal);
}

float speedUp(float startTime, float duration, float initialVal, float finalVal) {
    float t = getAnimationTime();
    if (t <= startTime) return initialVal;
    if (t > startTime + duration) return finalVal;
    // t lies inside the segment, so duration > 0 here.
    float distance = finalVal - initialVal;
    float acceleration = (2 * distance) / (duration * duration);
    float deltat = t - startTime;
    float rampDistance = acceleration * 0.5f * deltat * deltat;
    return rampDistance + initialVal;
}

void circle_exp2imp_2d(float x1, float y1, float x2, float y2, float x3, float y3, float timeS,
                       float timeE, float* r, float* xc, float* yc, float* constant, float* angleS,
                       float* angleE) {
    float a = x2 - x1, b = y2 - y1, c = x3 - x1, d = y3 - y1;
    float e = (x1 + x2) * a + (y1 + y2) * b;
    float f = (x1 + x3) * c + (y1 + y3) * d;
    float g = (y3 - y2) * a - (x3 - x2) * b; // twice the signed area
    if (g == 0.0f) {
        *xc = 0;
        *yc = 0;
        *r = -1;
        *constant = 0;
        *angleS = 0;
        *angleE = 0;
        return;
    }
    *xc = (d * e - b * f) * 0.5f / g;
    *yc = (a * f - c * e) * 0.5f / g;
    *r = std::sqrt((x1 - *xc) * (x1 - *xc) + (y1 - *yc) * (y1 - *yc));
    const double toDegrees = 57.29577951308232;
    auto polarAngle = [&](float px, float py) {
        float angle = float(std::acos((px - *xc) / *r) * toDegrees);
        if (py - *yc < 0) angle = 360 - angle;
        return angle;
    };
    *angleS = polarAngle(x1, y1);
    *angleE = polarAngle(x3, y3);
    *constant = (*angleE - *angleS) / (timeE - timeS);
}

void DrawTextA(const char* s, int x0, int y0) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, gWindowWidth, 0, gWindowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glRasterPos2i(x0 + 1, y0 - 1);
    int lines = 0;
    for (const char* p = s; *p; ++p) {
        if (*p == '\n') {
            ++lines;
            glRasterPos2i(x0 + 1, y0 - 12 * lines - 1); // 12-pixel line spacing
        }
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, (unsigned char)*p);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

// The reciprocal of the animation time between the last two frames, refreshed
// every 20th frame. Two frames within one clock tick have no measurable
// interval; the line then keeps its previous rate rather than showing "inf".
// Any other interval is shown as measured, even a negative one across a restart.
void DrawFrameRate() {
    static char aChar[256] = "";
    static float lastTime = 0;
    if (gProgramMode == kpmAnimating) {
        float currentTime = getAnimationTime();
        float deltaTime = currentTime - lastTime;
        lastTime = currentTime;
        if (gFrameCounter % 20 == 0 && deltaTime != 0)
            std::snprintf(aChar, sizeof aChar, "Swaps/Sec: %3.1f", 1.0 / deltaTime);
    } else {
        std::snprintf(aChar, sizeof aChar, "Swaps/Sec: 0.0");
    }
    DrawTextA(aChar, 10, 8);
}

void ShowCopyright(const char* year, const char* rightsOwner, const char* title) {
    // Built without a fixed buffer (the caption alone is 240 characters) in a
    // string kept between frames: after the first frame its capacity suffices,
    // so drawing the caption allocates nothing.
    static std::string s;
    s.assign(title).append(" ").append(year).append(" ").append(rightsOwner);
    DrawTextA(s.c_str(), 10, 90);
}

void fatal(const char* s) {
    std::printf("%s\n", s);
    std::exit(-1);
}

void openGLCheckError() {
    GLenum theError = glGetError();
    if (theError != GL_NO_ERROR) fatal(reinterpret_cast<const char*>(gluErrorString(theError)));
}
