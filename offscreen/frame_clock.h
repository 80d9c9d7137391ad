// The renderer's tick source (platformTickCount, basicsource/platform.h): the
// animation clock reads milliseconds that the renderer sets before each frame,
// so a frame's picture depends on its animation time, not on the machine's speed.
#pragma once

#include <cstdint>

void setFrameTick(int32_t ms);
