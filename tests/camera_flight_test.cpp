// The camera flight as a table: segments follow each other without a gap in
// time or place, from the home position back to it.
#include "mathematics/camera_flight.h"

#include <gtest/gtest.h>

TEST(Flight, EachSegmentStartsWhenAndWhereThePreviousEnds) {
    float eye[3] = {kHomeEye[0], kHomeEye[1], kHomeEye[2]};
    float target[3] = {kHomeTarget[0], kHomeTarget[1], kHomeTarget[2]};
    float end = kFlight[0].startTime;
    for (const flightSegment& s : kFlight) {
        SCOPED_TRACE(s.startTime);
        EXPECT_EQ(s.startTime, end);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(s.eye[k].from, eye[k]) << "eye " << k;
            eye[k] = s.eye[k].to;
            if (!s.aims) continue;
            EXPECT_EQ(s.target[k].from, target[k]) << "target " << k;
            target[k] = s.target[k].to;
        }
        end = segmentEnd(s);
    }
    // Home again at 85 s, when the caption appears.
    EXPECT_EQ(end, 85.0f);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(eye[k], kHomeEye[k]);
        EXPECT_EQ(target[k], kHomeTarget[k]);
    }
}
