#include "basicsource/platform.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "basicsource/main.h"

// Animation clock state, in milliseconds of the tick source.
int32_t tStartTime = 0;    // when the clock was last reset
int32_t tPauseStarted = 0; // when the current or last pause began
int32_t tPausedTime = 0;   // total paused since the last reset

void platformInitialise() {}

void platformWindup() {
    if (SDL_WasInit(SDL_INIT_AUDIO)) SDL_Quit();
}

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
    int32_t elapsed = int32_t(uint32_t(platformTickCount()) - uint32_t(tStartTime) -
                              uint32_t(tPausedTime));
    retValue = float(elapsed / 1000.0);
    return retValue;
}

void startMusic(const char*) {}
void stopMusic() {}
void pauseMusic() {}
void unpauseMusic() {}

uint32_t loadTextureFile(const char*, bool) { return 0; }

void RenderMovie() {}

// The start sound plays through SDL's audio queue: the samples are queued on an
// audio device and played by SDL's own thread, so the call returns at once. The
// device stays open between sounds; a restart empties its queue and queues the
// sound again, which costs no device reopening (and no wait for SDL's thread).
// No file or no audio device simply means no sound, and once the device has
// failed it is not asked again.
namespace {
SDL_AudioDeviceID soundDevice = 0;
SDL_AudioSpec deviceSpec; // the format soundDevice was opened for
bool soundUnavailable = false;

bool sameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}
} // namespace

void playSoundFile(const char* path) {
    if (soundUnavailable) return;
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    // The file first: a missing file costs no audio initialisation at all.
    if (!SDL_LoadWAV(path, &spec, &buffer, &length)) return;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        soundUnavailable = true;
        SDL_FreeWAV(buffer);
        return;
    }
    if (soundDevice && !sameFormat(spec, deviceSpec)) {
        SDL_CloseAudioDevice(soundDevice);
        soundDevice = 0;
    }
    if (!soundDevice) {
        soundDevice = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        if (!soundDevice) {
            soundUnavailable = true;
            SDL_FreeWAV(buffer);
            return;
        }
        deviceSpec = spec;
    }
    SDL_ClearQueuedAudio(soundDevice);
    SDL_QueueAudio(soundDevice, buffer, length);
    SDL_PauseAudioDevice(soundDevice, 0);
    SDL_FreeWAV(buffer);
}
