// The platform layer of platform.h on Linux: the start-up and wind-up hooks,
// the resource directory, the animation clock and the stubs for what this
// platform does not do (music, textures, movies). The start sound is in sound.cpp.
#include "basicsource/platform.h"

#include <cstring>

#include "basicsource/main.h"
#include "basicsource/sound.h"

// Animation clock state, in milliseconds of the tick source.
int32_t tStartTime = 0;    // when the clock was last reset
int32_t tPauseStarted = 0; // when the current or last pause began
int32_t tPausedTime = 0;   // total paused since the last reset

void platformInitialise() {}

void platformWindup() { windUpSound(); }

void getPathToResourceDirectory(char* path) { std::strcpy(path, "./resources"); }

void resetAnimationTimer() {
    tStartTime = platformTickCount();
    tPausedTime = 0;
}

void pauseAnimationTimer() { tPauseStarted = platformTickCount(); }

void unpauseAnimationTimer() {
    int32_t thisPause = platformTickCount() - tPauseStarted;
    tPausedTime += thisPause;
}

// A pause is subtracted only when it ends, so a reading taken while paused still
// includes the pause so far. Once the animation has finished the clock is frozen
// at the last value computed.
float getAnimationTime() {
    static float retValue = 0;
    if (gProgramMode == kpmFinished) return retValue;
    // Unsigned arithmetic wraps like the 32-bit tick counts it works on.
    int32_t elapsed =
        int32_t(uint32_t(platformTickCount()) - uint32_t(tStartTime) - uint32_t(tPausedTime));
    retValue = float(elapsed / 1000.0);
    return retValue;
}

void startMusic(const char*) {}
void stopMusic() {}
void pauseMusic() {}
void unpauseMusic() {}

uint32_t loadTextureFile(const char*, bool) { return 0; }

void RenderMovie() {}
