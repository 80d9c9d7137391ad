#include "offscreen/frame_clock.h"

#include "basicsource/platform.h"

namespace {
int32_t tick = 0;
}

void setFrameTick(int32_t ms) { tick = ms; }

int32_t platformTickCount() { return tick; }
