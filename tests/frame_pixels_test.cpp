// The conversion of read-back frames (BGRA, bottom row first) to what PNG and
// the encoders take: row order, channel order, the BT.601 values of the
// primaries, which plane each sample lands in, and odd sizes.
#include "tools/render/frame_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
struct colour {
    uint8_t r, g, b;
};

// A width x height frame as the pbuffer holds it, from top-down RGB colours.
std::vector<uint8_t> pbuffer(int width, int height, const std::vector<colour>& topDown) {
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const colour& c = topDown[size_t(y) * width + x];
            uint8_t* p = &bgra[(size_t(height - 1 - y) * width + x) * 4];
            p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 255;
        }
    return bgra;
}

std::vector<uint8_t> yuvOf(int width, int height, const std::vector<colour>& topDown) {
    const std::vector<uint8_t> bgra = pbuffer(width, height, topDown);
    // Guard bytes past the frame: the conversion must not reach them.
    std::vector<uint8_t> yuv(yuv420Bytes(width, height) + 16, 0xEE);
    bgraToYuv420(bgra.data(), width, height, yuv.data());
    for (size_t i = yuv420Bytes(width, height); i < yuv.size(); ++i)
        EXPECT_EQ(yuv[i], 0xEE) << width << "x" << height << " wrote past its frame";
    yuv.resize(yuv420Bytes(width, height));
    return yuv;
}

const colour kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0},
    kBlue{0, 0, 255}, kBrown{128, 77, 26};
} // namespace

TEST(FrameConversion, RgbComesTopRowFirstInRgbOrder) {
    const std::vector<colour> picture = {kRed, kGreen, kBlue, kBrown, kWhite, kBlack};
    const std::vector<uint8_t> bgra = pbuffer(3, 2, picture);
    std::vector<uint8_t> rgb(3 * 2 * 3);
    bgraToRgb(bgra.data(), 3, 2, rgb.data());
    for (size_t i = 0; i < picture.size(); ++i) {
        EXPECT_EQ(rgb[3 * i], picture[i].r) << "pixel " << i;
        EXPECT_EQ(rgb[3 * i + 1], picture[i].g) << "pixel " << i;
        EXPECT_EQ(rgb[3 * i + 2], picture[i].b) << "pixel " << i;
    }
}

// The studio values of BT.601 for black, white and the primaries.
TEST(FrameConversion, SolidColoursGiveTheirBt601Values) {
    struct expected {
        colour c;
        int y, u, v;
    };
    for (const expected& e : {expected{kBlack, 16, 128, 128}, expected{kWhite, 235, 128, 128},
                              expected{kRed, 81, 90, 240}, expected{kGreen, 145, 54, 34},
                              expected{kBlue, 41, 240, 110}}) {
        const std::vector<uint8_t> yuv = yuvOf(2, 2, std::vector<colour>(4, e.c));
        const std::string name = std::to_string(e.c.r) + "," + std::to_string(e.c.g) + "," +
                                 std::to_string(e.c.b);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(yuv[i], e.y, 1) << name;
        EXPECT_NEAR(yuv[4], e.u, 1) << name;
        EXPECT_NEAR(yuv[5], e.v, 1) << name;
    }
}

// A 4x4 frame whose top-left 2x2 block is red and whose bottom-right pixel is
// white: the planes come Y, U, V, each top row first, and every chroma sample
// is the mean of its own block only.
TEST(FrameConversion, SamplesLandInTheirPlanesTopRowFirst) {
    std::vector<colour> picture(16, kBlack);
    picture[0] = picture[1] = picture[4] = picture[5] = kRed;
    picture[15] = kWhite;
    const std::vector<uint8_t> yuv = yuvOf(4, 4, picture);
    const uint8_t* luma = yuv.data();
    const uint8_t* u = luma + 16;
    const uint8_t* v = u + 4;
    for (int i = 0; i < 16; ++i) {
        const int expected = i == 15 ? 235 : (i % 4 < 2 && i < 8) ? 81 : 16;
        EXPECT_NEAR(luma[i], expected, 1) << "luma " << i;
    }
    EXPECT_NEAR(u[0], 90, 1);
    EXPECT_NEAR(v[0], 240, 1);
    EXPECT_EQ(u[1], 128);
    EXPECT_EQ(v[1], 128);
    EXPECT_EQ(u[2], 128);
    EXPECT_EQ(v[2], 128);
    // A quarter white block: grey, no colour.
    EXPECT_EQ(u[3], 128);
    EXPECT_EQ(v[3], 128);
}

// Odd widths and heights (the GIF and pictures allow them): chroma planes of
// half the size rounded up, the last column and row blocks of their own.
TEST(FrameConversion, OddSizesKeepToTheirFrame) {
    EXPECT_EQ(yuv420Bytes(1, 1), 3u);
    EXPECT_EQ(yuv420Bytes(3, 3), 9u + 2 * 4);
    EXPECT_EQ(yuv420Bytes(720, 576), 720u * 576 * 3 / 2);

    const std::vector<uint8_t> one = yuvOf(1, 1, {kBlue});
    EXPECT_NEAR(one[0], 41, 1);
    EXPECT_NEAR(one[1], 240, 1);
    EXPECT_NEAR(one[2], 110, 1);

    // 3x3, the bottom-right pixel red: only the last U and V samples see it,
    // at full strength, since that block is the pixel alone.
    std::vector<colour> picture(9, kBlack);
    picture[8] = kRed;
    const std::vector<uint8_t> yuv = yuvOf(3, 3, picture);
    const uint8_t* u = yuv.data() + 9;
    const uint8_t* v = u + 4;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(u[i], 128) << i;
        EXPECT_EQ(v[i], 128) << i;
    }
    EXPECT_NEAR(u[3], 90, 1);
    EXPECT_NEAR(v[3], 240, 1);
}
