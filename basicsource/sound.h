// The start sound (playSoundFile in platform.h): a WAV file played in the
// background through SDL, which is loaded with dlopen when the first sound plays.
#pragma once

// Stops the sound and SDL's audio (platformWindup).
void windUpSound();
