#include "tests/harness/test_clock.h"

#include <cmath>

#include "basicsource/platform.h"

namespace {
int32_t ticks = 0;
}

int32_t platformTickCount() { return ticks; }
void setTestTickCount(int32_t ms) { ticks = ms; }
void advanceTestTicks(int32_t ms) { ticks += ms; }
void setAnimationSeconds(double seconds) { ticks = int32_t(std::lround(seconds * 1000.0)); }
