// The tick source test executables link instead of the wall clock: time stands
// still until a test moves it, so clock-driven behaviour (easing curves, the
// frame-rate line, the whole 150-second animation) runs in milliseconds.
#pragma once

#include <cstdint>

void setTestTickCount(int32_t ms);
void advanceTestTicks(int32_t ms);
// Sets the tick count so that getAnimationTime() reads `seconds` after a reset
// at tick 0 with no pause (the usual set-up of clock-driven tests).
void setAnimationSeconds(double seconds);
