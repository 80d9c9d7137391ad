#include "mathematics/camera_flight.h"

// Each segment starts where the previous one ends; the eye first backs away,
// rises looking up the tube, looks down from above, sinks and rises, swings
// out, descends and comes home at 85 s. The target is moved only from 20 to 35 s.
const flightSegment kFlight[kFlightSegments] = {
    // start ramp cruise   eye x        eye y        eye z            aims  target x, y, z
    {5, 3, 9, {{0, 0}, {0, 0}, {3, 15}}, false, {}},
    {20, 2, 6, {{0, 0}, {0, 7}, {15, 3}}, true, {{0, 0}, {0, 6}, {0, 0}}},
    {30, 1, 3, {{0, 0}, {7, 7}, {3, 0.2f}}, true, {{0, 0}, {6, 0}, {0, 0}}},
    {35, 2, 6, {{0, 0}, {7, 3}, {0.2f, 0.2f}}, false, {}},
    {45, 2, 6, {{0, 0}, {3, 7}, {0.2f, 0.2f}}, false, {}},
    {55, 2, 6, {{0, -5}, {7, 7}, {0.2f, 5}}, false, {}},
    {65, 2, 6, {{-5, -5}, {7, 0}, {5, -1}}, false, {}},
    {75, 2, 6, {{-5, 0}, {0, 0}, {-1, 3}}, false, {}},
};

const float kHomeEye[3] = {0, 0, 3};
const float kHomeTarget[3] = {0, 0, 0};

// Constant acceleration for rampDur, constant speed for cruiseDur, constant
// deceleration for rampDur; each boundary belongs to the earlier phase. Every
// named value is stored as a float.
float easedValue(float t, float startTime, float rampDur, float cruiseDur, float initialVal,
                 float finalVal) {
    float duration = rampDur + cruiseDur + rampDur;
    float distance = finalVal - initialVal;
    if (t <= startTime) return initialVal;
    if (t > startTime + duration) return finalVal;
    if (rampDur == 0.0f) {
        // No acceleration phase (the formula below would divide by zero).
        if (cruiseDur == 0.0f) return finalVal;
        return initialVal + distance * ((t - startTime) / cruiseDur);
    }
    // distance / (rampDur (rampDur + cruiseDur)): the area under the velocity
    // trapezoid is the distance.
    float acceleration = (2 * distance) / (2 * rampDur * rampDur + 2 * rampDur * cruiseDur);
    if (t <= startTime + rampDur) {
        float deltat = t - startTime;
        float rampDistance = acceleration * 0.5f * deltat * deltat;
        return rampDistance + initialVal;
    }
    if (t <= startTime + rampDur + cruiseDur) {
        float deltat = t - (startTime + rampDur);
        float rampDistance = acceleration * 0.5f * rampDur * rampDur;
        return rampDur * acceleration * deltat + rampDistance + initialVal;
    }
    float deltat = (startTime + duration) - t;
    float rampDistance = acceleration * 0.5f * deltat * deltat;
    return finalVal - rampDistance;
}

float segmentEnd(const flightSegment& s) {
    return s.startTime + s.rampDur + s.cruiseDur + s.rampDur;
}

void flightCameraAt(float t, float eye[3], float target[3]) {
    for (int k = 0; k < 3; ++k) {
        eye[k] = kHomeEye[k];
        target[k] = kHomeTarget[k];
    }
    for (const flightSegment& s : kFlight) {
        if (t < s.startTime) break;
        auto ease = [&](const flightCoordinate& c) {
            return c.from == c.to
                       ? c.from
                       : easedValue(t, s.startTime, s.rampDur, s.cruiseDur, c.from, c.to);
        };
        for (int k = 0; k < 3; ++k) eye[k] = ease(s.eye[k]);
        if (s.aims)
            for (int k = 0; k < 3; ++k) target[k] = ease(s.target[k]);
    }
}
