// Numeric helpers (degree trigonometry, normals, easing curves, circle fit) and
// the on-screen text overlay with the program's one failure exit, fatal().
// Angles are in degrees at every interface here; times are float seconds.
#pragma once

const float degPerRad = 57.29578f;

float sin_d(float f);
float cos_d(float f);
float atan_d(float f); // result in degrees

void ReduceToUnit(float vector[3]); // zero vector stays zero
void calculateNormal(float out[3], const float va[3], const float vb[3], const float vc[3]);

// Eased value at the current animation time: accelerate for rampDur seconds,
// cruise for cruiseDur, decelerate for rampDur; initialVal before startTime,
// finalVal after the segment.
float smoothAcceleration(float startTime, float rampDur, float cruiseDur, float initialVal,
                         float finalVal);
// Constant acceleration from rest, reaching finalVal after duration seconds.
float speedUp(float startTime, float duration, float initialVal, float finalVal);

// Circle through three points: centre, radius (-1 for collinear points), the
// polar angles of the first and third point (degrees) and the angular rate.
void circle_exp2imp_2d(float x1, float y1, float x2, float y2, float x3, float y3, float timeS,
                       float timeE, float* r, float* xc, float* yc, float* constant, float* angleS,
                       float* angleE);

// Text overlay, window pixels with the origin at the bottom-left corner.
void DrawTextA(const char* s, int x, int y);
void DrawFrameRate();
void ShowCopyright(const char* year, const char* rightsOwner, const char* title);

[[noreturn]] void fatal(const char* s); // prints s and a line feed on stdout, exits -1
void openGLCheckError();
