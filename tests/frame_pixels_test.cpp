// The conversion of read-back frames (BGRA, bottom row first) to YUV 4:2:0 for
// the encoders: the BT.601 values of the primaries, row order, which plane
// each sample lands in, and odd sizes. (The RGB path is held against the
// window's frames in render_frames_test.)
#include "offscreen/frame_pixels.h"

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
    kBlue{0, 0, 255};
} // namespace

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

// A 3x3 frame, red at the top left and blue at the bottom right: planes Y, U,
// V, each top row first; U and V of half the size rounded up, the first
// sample the mean of its 2x2 block, the last the odd corner pixel alone.
TEST(FrameConversion, PlanesComeTopRowFirstWithOddEdgesAlone) {
    EXPECT_EQ(yuv420Bytes(3, 3), 9u + 2 * 4);
    EXPECT_EQ(yuv420Bytes(720, 576), 720u * 576 * 3 / 2);
    std::vector<colour> picture(9, kBlack);
    picture[0] = kRed;
    picture[8] = kBlue;
    const std::vector<uint8_t> yuv = yuvOf(3, 3, picture);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(yuv[i], i == 0 ? 81 : i == 8 ? 41 : 16, 1) << "luma " << i;
    const uint8_t* u = yuv.data() + 9;
    const uint8_t* v = u + 4;
    EXPECT_NEAR(u[0], 119, 1); // a quarter red
    EXPECT_NEAR(v[0], 156, 1);
    for (int i : {1, 2}) {
        EXPECT_EQ(u[i], 128) << i;
        EXPECT_EQ(v[i], 128) << i;
    }
    EXPECT_NEAR(u[3], 240, 1); // all blue
    EXPECT_NEAR(v[3], 110, 1);
}
