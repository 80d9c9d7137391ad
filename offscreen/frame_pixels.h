// A drawn frame as the pbuffer holds it (BGRA bytes, bottom row first) turned
// into what the outputs take: RGB rows from the top for PNG pictures and the
// GIF, and planar YUV 4:2:0 for H.264 and VP9, which the encoders then take as
// they stand instead of converting every frame again inside ffmpeg.
#pragma once

#include <cstddef>
#include <cstdint>

// rgb: width * height * 3 bytes.
void bgraToRgb(const uint8_t* bgra, int width, int height, uint8_t* rgb);

// Bytes of a YUV 4:2:0 frame: the Y plane, then U and V planes of half the
// width and height, rounded up.
size_t yuv420Bytes(int width, int height);

// BT.601 limited range (Y 16-235, U and V 16-240), as ffmpeg converts RGB to
// SD video by default. Each U and V sample is taken from the mean of its 2x2
// block of pixels; an odd last column or row is a block of its own.
void bgraToYuv420(const uint8_t* bgra, int width, int height, uint8_t* yuv);
