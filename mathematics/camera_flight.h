// The camera flight of the scene as data: eight eased segments over the first
// 85 seconds of the animation, and the trapezoidal easing they use evaluated at
// an explicit time. No OpenGL and no clock, so every front end (the scene
// script, the web page) flies the same path. Seconds and world units.
#pragma once

// One coordinate of a segment: eased from `from` to `to`; equal when it holds.
struct flightCoordinate {
    float from, to;
};

// From `startTime` the segment moves the eye (and, if `aims`, the target):
// accelerating for `rampDur`, cruising for `cruiseDur`, decelerating for
// `rampDur`. A later segment takes over from its own start time.
struct flightSegment {
    float startTime, rampDur, cruiseDur;
    flightCoordinate eye[3];
    bool aims;
    flightCoordinate target[3];
};

const int kFlightSegments = 8;
extern const flightSegment kFlight[kFlightSegments]; // in order of start time

// Where the camera stands and looks before the flight starts (InitScene).
extern const float kHomeEye[3];
extern const float kHomeTarget[3];

// The trapezoidal easing at time t: initialVal up to startTime, finalVal
// after startTime + 2 rampDur + cruiseDur. A zero ramp moves at constant
// speed over the cruise (or jumps, with no cruise either).
float easedValue(float t, float startTime, float rampDur, float cruiseDur, float initialVal,
                 float finalVal);

float segmentEnd(const flightSegment& s); // seconds

// The camera at animation time t, as the scene script sets it from the home
// position: every segment started by t applies, in order.
void flightCameraAt(float t, float eye[3], float target[3]);
