// Test support for the shell and the scene script: a fixture with the scene
// built once per process and the shell's globals, the camera, the lights and the
// driven clock put back to their start-up state before every test, plus readers
// for the overlay text and the camera.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "tests/harness/glut_recorder.h"
#include "tests/harness/gl_window.h"
#include "tests/harness/test_clock.h"

// The state main() leaves before its main loop: mode kpmAtStart, no idle
// callback, counters zero, overlays off, camera and lights from InitScene, a
// 720x576 projection and the animation clock reset at tick 0. The start sound
// is off (the sound tests cover it).
inline void resetShellState() {
    gProgramMode = kpmAtStart;
    gFrameCounter = 0;
    gPolygonCount = 0;
    gTextOn = false;
    gWireFrameOnly = false;
    sounds = 0;
    ResizeWindow(kWindowWidth, kWindowHeight);
    InitScene();
    glutIdleFunc(nullptr);
    setTestTickCount(0);
    resetAnimationTimer();
    setBeforeSwapHook(nullptr);
    stopRecording();
}

class ShellTest : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        static bool built = false;
        if (!built) {
            ConstructScene();
            built = true;
        }
        resetShellState();
    }
    void TearDown() override { setBeforeSwapHook(nullptr); }
};

// One run of text handed to the font: the raster position it starts at and the
// characters drawn from there. A line feed belongs to the run it starts, as
// DrawTextA moves the raster position before handing the line feed to the font.
struct textRun {
    int x, y;
    std::string text;
};

inline std::vector<textRun> textRuns(const std::vector<glCall>& calls) {
    std::vector<textRun> runs;
    for (const glCall& c : calls) {
        if (c.name == "glRasterPos2i") runs.push_back({int(c.args[0]), int(c.args[1]), ""});
        if (c.name == "glutBitmapCharacter" && !runs.empty())
            runs.back().text += char(int(c.args[1]));
    }
    return runs;
}

// All the characters of a frame's overlay, in the order they were drawn.
inline std::string overlayText(const std::vector<glCall>& calls) {
    std::string s;
    for (const textRun& r : textRuns(calls)) s += r.text;
    return s;
}

// Camera positions compare to within single-precision rounding of the eased
// segments (values up to 15, so a few ulps are about 1e-5).
constexpr float kCameraTolerance = 1e-4f;

#define EXPECT_VEC3_NEAR(v, ex, ey, ez)                                                            \
    do {                                                                                           \
        EXPECT_NEAR((v).data[0], (ex), kCameraTolerance);                                          \
        EXPECT_NEAR((v).data[1], (ey), kCameraTolerance);                                          \
        EXPECT_NEAR((v).data[2], (ez), kCameraTolerance);                                          \
    } while (0)
