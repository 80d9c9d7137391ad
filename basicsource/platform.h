// The platform layer (windows.cpp, and sound.cpp for the start sound): start-up
// and wind-up hooks, the resource directory, the animation clock (seconds, pauses
// excluded, frozen once finished), music, texture and movie stubs, the start sound.
#pragma once

#include <cstdint>

void platformInitialise();
void platformWindup(); // stops the start sound; returns promptly whatever is playing
void getPathToResourceDirectory(char* path); // path: at least 12 characters

// Animation clock. The tick source counts milliseconds of wall-clock time.
void resetAnimationTimer();
void pauseAnimationTimer();
void unpauseAnimationTimer();
float getAnimationTime(); // seconds since the last reset, pauses excluded

// The tick source: milliseconds from a monotonic wall clock. The program links
// basicsource/wallclock.cpp; test executables link a source they drive.
int32_t platformTickCount();

void startMusic(const char* theCFilename);
void stopMusic();
void pauseMusic();
void unpauseMusic();

// Returns an OpenGL texture name; this platform loads nothing and returns 0.
uint32_t loadTextureFile(const char* theCFilename, bool generateMipmaps);

void RenderMovie();

// Starts playing a WAV file in the background and returns at once, restarting
// it if it is already playing. The first file that loads is decoded once and
// kept; later calls naming another file play nothing. A missing or refused
// file (see sound.h) or no audio device means silence, with nothing printed.
void playSoundFile(const char* path);
