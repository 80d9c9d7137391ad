// The start sound (playSoundFile in platform.h): a short WAV clip read and
// decoded once on a thread of its own, then played from memory through SDL, so
// that neither the file nor the audio device ever holds up a frame or the quit.
#pragma once

#include <cstddef>

// The clips accepted: regular files of at most 4 MiB (about 24 s of CD-quality
// stereo), sampled at 8 to 192 kHz. Anything else is refused, silently.
constexpr std::size_t kMaxSoundFileBytes = std::size_t(4) << 20;
constexpr int kMinSoundRate = 8000;   // Hz
constexpr int kMaxSoundRate = 192000; // Hz

// Stops the sound and closes the audio device for good (platformWindup). Waits
// a fraction of a second at most, for a loader that is starting the audio
// device, and never for one that is reading the file: that may never return.
void windUpSound();

// True while a file is being read and decoded or the device opened (off the
// calling thread). Call from the thread that plays the sound.
bool soundLoading();
