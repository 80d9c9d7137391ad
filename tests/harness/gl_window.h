// A current OpenGL context for tests: one hidden 720 by 576 GLUT window per
// test process (double-buffered RGB with depth, as the program asks for), on
// the X display in DISPLAY (scripts/test.sh starts Xvfb where there is none).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Creates the window on first use and makes its context current.
void ensureGLWindow();

// Reads the back buffer (the frame being drawn, before the swap): RGB bytes,
// rows from the bottom of the window up.
struct rgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    const uint8_t* at(int x, int y) const { return &pixels[3 * (size_t(y) * width + x)]; }
};
rgbImage readBackBuffer();

// Fixture for tests that draw: a current context, a default GL state
// (identity matrices, modelview current) and the recorder cleared.
class GLTest : public ::testing::Test {
  protected:
    void SetUp() override;
};
