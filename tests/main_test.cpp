// The shell driven in process: the program-mode state machine and the idle
// callback, frame counting, the keys, the reshape handler, the order of one
// frame's calls, the overlay text and the pixels of a finished frame. The clock
// is the driven test clock, so the 150-second animation runs in no time.
#include "basicsource/main.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>

#include "tests/shell_fixture.h"

namespace {

// Runs `action` with recording on and returns the calls it made.
std::vector<glCall> record(const std::function<void()>& action) {
    startRecording();
    action();
    return stopRecording();
}

int countNamed(const std::vector<glCall>& calls, const char* name) {
    return int(callsNamed(calls, {name}).size());
}

void pressKey(unsigned char key) { KeyPress(key, 0, 0); }

// Starts the animation at animation time 0 and returns with the clock at `t`.
void animateUntil(double t) {
    setAnimationSeconds(0);
    pressKey('a');
    setAnimationSeconds(t);
}

// The first run of overlay text drawn at the statistics position.
std::string statisticsLine(const std::vector<glCall>& calls) {
    for (const textRun& r : textRuns(calls))
        if (r.x == 11 && r.y == 19) return r.text;
    return "";
}

} // namespace

// --- The mode table ---------------------------------------------------------------

using ModeTable = ShellTest;

TEST_F(ModeTable, StartsWithoutIdleCallbackAndKeyAStartsFromEveryMode) {
    EXPECT_EQ(gProgramMode, kpmAtStart);
    EXPECT_EQ(currentIdleFunc(), nullptr);

    for (ProgramMode from : {kpmAtStart, kpmAnimating, kpmPaused, kpmFinished}) {
        SCOPED_TRACE(from);
        resetShellState();
        gProgramMode = from;
        gFrameCounter = 42;
        camera.setLocation(4, 5, 6);
        camera.setTarget(1, 1, 1);
        light2.turnOff();
        setTestTickCount(30000);

        pressKey('a');

        EXPECT_EQ(gProgramMode, kpmAnimating);
        EXPECT_EQ(currentIdleFunc(), &NextFrame);
        EXPECT_EQ(gFrameCounter, 0);
        EXPECT_FLOAT_EQ(getAnimationTime(), 0.0f); // the clock restarts
        EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
        EXPECT_VEC3_NEAR(camera.getTarget(), 0, 0, 0);
        EXPECT_TRUE(light2.isOn());
        advanceTestTicks(1500);
        EXPECT_FLOAT_EQ(getAnimationTime(), 1.5f);
    }
}

TEST_F(ModeTable, KeyPPausesAndResumesWithTheClockContinuingWhereItStopped) {
    animateUntil(10.0);
    pressKey('p');
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_EQ(currentIdleFunc(), nullptr);

    advanceTestTicks(5000); // five seconds of pause
    pressKey('p');
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(currentIdleFunc(), &NextFrame);
    EXPECT_FLOAT_EQ(getAnimationTime(), 10.0f);

    // A second pause is subtracted on top of the first.
    advanceTestTicks(2000);
    pressKey('p');
    advanceTestTicks(7000);
    pressKey('p');
    EXPECT_FLOAT_EQ(getAnimationTime(), 12.0f);
}

TEST_F(ModeTable, KeyPDoesNothingOutsideAnimatingAndPaused) {
    for (ProgramMode mode : {kpmAtStart, kpmMakingMovie, kpmFinished}) {
        SCOPED_TRACE(mode);
        resetShellState();
        gProgramMode = mode;
        setTestTickCount(4000);
        pressKey('p');
        EXPECT_EQ(gProgramMode, mode);
        EXPECT_EQ(currentIdleFunc(), nullptr);
        advanceTestTicks(3000);
        pressKey('p');
        EXPECT_EQ(gProgramMode, mode);
        EXPECT_EQ(currentIdleFunc(), nullptr);
        if (mode != kpmFinished) {
            // Nothing was paused, so nothing is subtracted.
            EXPECT_FLOAT_EQ(getAnimationTime(), 7.0f);
        }
    }
}

TEST_F(ModeTable, KeyMResetsAndFinishesWithoutTouchingIdleOrRedisplay) {
    camera.setLocation(9, 9, 9);
    gFrameCounter = 17;
    setTestTickCount(20000);
    float lastReading = getAnimationTime();
    int redisplays = postRedisplayCount();

    pressKey('m');

    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_EQ(gFrameCounter, 0);
    EXPECT_EQ(currentIdleFunc(), nullptr); // none before, none after
    EXPECT_EQ(postRedisplayCount(), redisplays);
    EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
    // Nothing reads the clock between its reset and the finish, so it stays
    // frozen at the last reading taken before the key.
    advanceTestTicks(8000);
    EXPECT_FLOAT_EQ(getAnimationTime(), lastReading);
    EXPECT_FLOAT_EQ(lastReading, 20.0f);
}

TEST_F(ModeTable, KeyMWhileAnimatingLeavesTheIdleCallbackForTheNextTickToRemove) {
    animateUntil(40.0);
    pressKey('m');
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_EQ(currentIdleFunc(), &NextFrame);

    auto calls = record(NextFrame);
    EXPECT_EQ(currentIdleFunc(), nullptr);
    EXPECT_EQ(countNamed(calls, "glutSwapBuffers"), 0); // that tick draws nothing
    EXPECT_EQ(gFrameCounter, 0);
}

TEST_F(ModeTable, AnimationFinishesAtOneHundredFiftySecondsAndTheClockFreezes) {
    animateUntil(149.9);
    NextFrame();
    EXPECT_EQ(gProgramMode, kpmAnimating);
    long framesBefore = gFrameCounter;

    setAnimationSeconds(150.0);
    auto calls = record(NextFrame);
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_EQ(countNamed(calls, "glutSwapBuffers"), 1); // the finishing tick still draws
    EXPECT_EQ(gFrameCounter, framesBefore);            // but that frame does not count
    EXPECT_EQ(currentIdleFunc(), &NextFrame);

    advanceTestTicks(2500);
    calls = record(NextFrame);
    EXPECT_EQ(currentIdleFunc(), nullptr);
    EXPECT_EQ(countNamed(calls, "glutSwapBuffers"), 0);

    advanceTestTicks(60000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 150.0f);
    ViewScene(); // a redisplay after the end neither counts nor thaws the clock
    EXPECT_EQ(gFrameCounter, framesBefore);
    EXPECT_FLOAT_EQ(getAnimationTime(), 150.0f);

    // A restart runs the clock from zero again.
    pressKey('a');
    advanceTestTicks(1000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
}

TEST_F(ModeTable, IdleTickDoesNothingWhileAtStartOrPaused) {
    for (ProgramMode mode : {kpmAtStart, kpmPaused}) {
        SCOPED_TRACE(mode);
        resetShellState();
        gProgramMode = mode;
        glutIdleFunc(NextFrame); // as if a stale registration fired
        auto calls = record(NextFrame);
        EXPECT_TRUE(calls.empty()) << describe(calls.front());
        EXPECT_EQ(currentIdleFunc(), &NextFrame);
        EXPECT_EQ(gFrameCounter, 0);
    }
}

TEST_F(ModeTable, QuitKeysExitWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh child, not a fork of the GL process
    EXPECT_EXIT(pressKey('q'), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(pressKey(27), ::testing::ExitedWithCode(0), "");
}

// --- Frames -------------------------------------------------------------------------

using FrameCounting = ShellTest;

TEST_F(FrameCounting, FirstAnimatedFrameIsFrameOneAndRedrawsOutsideAnimationDoNotCount) {
    gTextOn = true;
    ViewScene(); // at start
    EXPECT_EQ(gFrameCounter, 0);

    animateUntil(0.25);
    auto calls = record(NextFrame);
    EXPECT_EQ(gFrameCounter, 1);
    EXPECT_EQ(statisticsLine(calls).rfind("Frame: 1, ", 0), 0u) << statisticsLine(calls);
    NextFrame();
    NextFrame();
    EXPECT_EQ(gFrameCounter, 3);

    pressKey('p');
    ViewScene(); // a redisplay while paused
    EXPECT_EQ(gFrameCounter, 3);
    pressKey('p');
    NextFrame();
    EXPECT_EQ(gFrameCounter, 4);

    pressKey('a'); // a restart counts from one again
    NextFrame();
    EXPECT_EQ(gFrameCounter, 1);
}

// --- Keys ---------------------------------------------------------------------------

using Keys = ShellTest;

TEST_F(Keys, EyeKeysMoveOnlyTheEyeAndRedraw) {
    struct move {
        unsigned char key;
        float dx, dy, dz;
    };
    const move moves[] = {{'l', -1, 0, 0}, {'r', 1, 0, 0}, {'u', 0, 1, 0},
                          {'d', 0, -1, 0}, {'i', 0, 0, -1}, {'o', 0, 0, 1}};
    for (const move& m : moves) {
        SCOPED_TRACE(m.key);
        InitScene();
        int redisplays = postRedisplayCount();
        pressKey(m.key);
        EXPECT_VEC3_NEAR(camera.getLocation(), m.dx, m.dy, 3 + m.dz);
        EXPECT_VEC3_NEAR(camera.getTarget(), 0, 0, 0);
        EXPECT_VEC3_NEAR(camera.getUpVector(), 0, 1, 0);
        EXPECT_EQ(postRedisplayCount(), redisplays + 1);
    }
}

TEST_F(Keys, ArrowKeysMoveOnlyTheTargetAndOtherSpecialKeysDoNothing) {
    struct move {
        int key;
        float dx, dy;
    };
    const move moves[] = {{GLUT_KEY_LEFT, -1, 0}, {GLUT_KEY_UP, 0, 1},
                          {GLUT_KEY_RIGHT, 1, 0}, {GLUT_KEY_DOWN, 0, -1}};
    for (const move& m : moves) {
        SCOPED_TRACE(m.key);
        InitScene();
        int redisplays = postRedisplayCount();
        SpecialKeyPress(m.key, 0, 0);
        EXPECT_VEC3_NEAR(camera.getTarget(), m.dx, m.dy, 0);
        EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
        EXPECT_EQ(postRedisplayCount(), redisplays + 1);
    }
    InitScene();
    int redisplays = postRedisplayCount();
    for (int key : {GLUT_KEY_F1, GLUT_KEY_F12, GLUT_KEY_PAGE_UP, GLUT_KEY_HOME, GLUT_KEY_INSERT})
        SpecialKeyPress(key, 0, 0);
    EXPECT_VEC3_NEAR(camera.getTarget(), 0, 0, 0);
    EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
    EXPECT_EQ(postRedisplayCount(), redisplays);
}

TEST_F(Keys, EyeMovedInAtStartIsWhatTheNextFrameLooksFrom) {
    pressKey('l');
    auto calls = record(ViewScene);
    EXPECT_TRUE(containsInOrder(calls, {{"gluLookAt", {-1, 0, 3, 0, 0, 0, 0, 1, 0}}}));
}

TEST_F(Keys, ToggleKeysTakeEffectInTheNextFrame) {
    int redisplays = postRedisplayCount();
    pressKey('w');
    pressKey('t');
    EXPECT_TRUE(gWireFrameOnly);
    EXPECT_TRUE(gTextOn);
    EXPECT_EQ(postRedisplayCount(), redisplays + 2);
    auto calls = record(ViewScene);
    EXPECT_TRUE(containsInOrder(calls, {{"glPolygonMode", {GL_FRONT, GL_LINE}},
                                        {"glPolygonMode", {GL_BACK, GL_LINE}}}));
    EXPECT_FALSE(statisticsLine(calls).empty());

    pressKey('w');
    pressKey('t');
    EXPECT_FALSE(gWireFrameOnly);
    EXPECT_FALSE(gTextOn);
    calls = record(ViewScene);
    EXPECT_TRUE(containsInOrder(calls, {{"glPolygonMode", {GL_FRONT, GL_FILL}},
                                        {"glPolygonMode", {GL_BACK, GL_FILL}}}));
    EXPECT_EQ(countNamed(calls, "glutBitmapCharacter"), 0);
}

TEST_F(Keys, KeyFAsksForFullScreen) {
    int before = fullScreenCount();
    pressKey('f');
    EXPECT_EQ(fullScreenCount(), before + 1);
}

namespace {
// A key that ends the program would end the test process with status 0 and
// pass unnoticed: while the guard is up, an exit reports the key and fails.
int keyBeingPressed = -1;
void exitDuringKeyGuard() {
    if (keyBeingPressed < 0) return;
    std::fprintf(stderr, "key %d ended the program\n", keyBeingPressed);
    std::_Exit(3);
}
} // namespace

// Every character not in the key table, capitals included, leaves everything
// as it was, at start and while animating.
TEST_F(Keys, UnlistedKeysAndCapitalsDoNothing) {
    static const bool guardRegistered = std::atexit(exitDuringKeyGuard) == 0;
    ASSERT_TRUE(guardRegistered);
    const std::set<int> listed = {27,  'a', 'd', 'f', 'i', 'l', 'm',
                                  'o', 'p', 'q', 'r', 't', 'u', 'w'};
    for (bool animating : {false, true}) {
        SCOPED_TRACE(animating ? "animating" : "at start");
        resetShellState();
        if (animating) animateUntil(3.0);
        camera.setLocation(1, 2, 3);
        camera.setTarget(0.5f, 0.5f, 0.5f);
        idleFunction idle = currentIdleFunc();
        int redisplays = postRedisplayCount();
        int fullScreens = fullScreenCount();
        ProgramMode mode = gProgramMode;
        float t = getAnimationTime();

        startRecording();
        for (int key = 0; key < 256; ++key) {
            if (listed.count(key)) continue;
            keyBeingPressed = key;
            pressKey((unsigned char)key);
        }
        keyBeingPressed = -1;
        auto calls = stopRecording();

        EXPECT_TRUE(calls.empty()) << describe(calls.front());
        EXPECT_EQ(gProgramMode, mode);
        EXPECT_EQ(currentIdleFunc(), idle);
        EXPECT_EQ(postRedisplayCount(), redisplays);
        EXPECT_EQ(fullScreenCount(), fullScreens);
        EXPECT_FALSE(gTextOn);
        EXPECT_FALSE(gWireFrameOnly);
        EXPECT_EQ(gFrameCounter, 0);
        EXPECT_FLOAT_EQ(getAnimationTime(), t);
        EXPECT_VEC3_NEAR(camera.getLocation(), 1, 2, 3);
        EXPECT_VEC3_NEAR(camera.getTarget(), 0.5f, 0.5f, 0.5f);
    }
}

// --- Reshape ------------------------------------------------------------------------

using Reshape = ShellTest;

TEST_F(Reshape, SetsProjectionModelviewAndViewportInOrder) {
    auto calls = record([] { ResizeWindow(800, 400); });
    EXPECT_EQ(gWindowWidth, 800);
    EXPECT_EQ(gWindowHeight, 400);
    std::string why;
    EXPECT_TRUE(containsInOrder(calls,
                                {{"glMatrixMode", {GL_PROJECTION}},
                                 {"glLoadIdentity", {}},
                                 {"gluPerspective", {45, 2.0, 0.1, 500}},
                                 {"glMatrixMode", {GL_MODELVIEW}},
                                 {"glLoadIdentity", {}},
                                 {"glViewport", {0, 0, 800, 400}}},
                                &why))
        << why;
    // The near plane is the single-precision 0.1, widened.
    auto perspective = callsNamed(calls, {"gluPerspective"});
    ASSERT_EQ(perspective.size(), 1u);
    EXPECT_EQ(perspective[0].args[2], double(0.1f));
}

TEST_F(Reshape, ZeroHeightAndOnePixelWindowsKeepAFiniteProjection) {
    for (int h : {0, 1}) {
        SCOPED_TRACE(h);
        auto calls = record([h] {
            ResizeWindow(h == 0 ? 720 : 1, h);
            ViewScene();
        });
        for (const glCall& c : callsNamed(calls, {"gluPerspective"}))
            for (double a : c.args) EXPECT_TRUE(std::isfinite(a)) << describe(c);
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        for (float v : m) EXPECT_TRUE(std::isfinite(v));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_TRUE(containsInOrder(record([] { ResizeWindow(1, 1); }),
                                {{"gluPerspective", {45, 1, 0.1, 500}},
                                 {"glViewport", {0, 0, 1, 1}}}));
}

TEST_F(Reshape, WhileAnimatingAdvancesTheSceneOnceWithoutDrawing) {
    animateUntil(12.5);
    auto calls = record([] { ResizeWindow(kWindowWidth, kWindowHeight); });
    EXPECT_NEAR(camera.getLocation().data[2], 9.0f, kCameraTolerance); // halfway from 3 to 15
    EXPECT_EQ(countNamed(calls, "glutSwapBuffers"), 0);
    EXPECT_EQ(gFrameCounter, 0);

    // Outside the animation a reshape leaves the scene alone.
    resetShellState();
    setAnimationSeconds(12.5);
    ResizeWindow(kWindowWidth, kWindowHeight);
    EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
}

// --- One frame ------------------------------------------------------------------------

using FrameCalls = ShellTest;

TEST_F(FrameCalls, FollowTheFixedOrderFromClearToSwap) {
    gTextOn = true;
    auto calls = record(ViewScene);
    const GLuint sphereList = sph1->getListName();
    const GLuint figureList = tholix1->getListName();
    ASSERT_NE(sphereList, 0u);
    ASSERT_NE(figureList, 0u);

    std::string why;
    EXPECT_TRUE(containsInOrder(
        calls,
        {{"glEnable", {GL_DEPTH_TEST}},
         {"glEnable", {GL_CULL_FACE}},
         {"glPolygonMode", {GL_FRONT, GL_FILL}},
         {"glPolygonMode", {GL_BACK, GL_FILL}},
         {"glClearColor", {0, 0, 0, 1}},
         {"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
         {"glMatrixMode", {GL_PROJECTION}},
         {"glLoadIdentity", {}},
         {"gluPerspective", {45, 720.0 / 576.0, 0.1, 500}},
         {"gluLookAt", {0, 0, 3, 0, 0, 0, 0, 1, 0}},
         {"glMatrixMode", {GL_MODELVIEW}},
         {"glEnable", {GL_LIGHTING}},
         {"glEnable", {GL_NORMALIZE}},
         {"glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.5, 0.5, 0.5, 1}},
         {"glLoadIdentity", {}},
         {"glEnable", {GL_LIGHT0}},
         {"glEnable", {GL_LIGHT1}},
         {"glEnable", {GL_LIGHT2}},
         {"glEnable", {GL_LIGHT3}},
         {"glDisable", {GL_LIGHT4}},
         {"glCallList", {double(sphereList)}},
         {"glCallList", {double(figureList)}},
         {"glDepthMask", {GL_FALSE}},
         {"glAlphaFunc", {GL_GREATER, 0.1}},
         {"glEnable", {GL_ALPHA_TEST}},
         {"glEnable", {GL_BLEND}},
         {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
         {"glBegin", {GL_QUAD_STRIP}},
         {"glDepthMask", {GL_TRUE}},
         {"glDisable", {GL_BLEND}},
         {"glRasterPos2i", {11, 19}},
         {"glRasterPos2i", {11, 7}},
         {"glutSwapBuffers", {}}},
        &why))
        << why;

    // The look-at goes onto the projection matrix: no matrix-mode change
    // between the perspective and the look-at.
    size_t perspective = 0, lookAt = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "gluPerspective") perspective = i;
        if (calls[i].name == "gluLookAt") lookAt = i;
    }
    ASSERT_LT(perspective, lookAt);
    for (size_t i = perspective; i < lookAt; ++i) EXPECT_NE(calls[i].name, "glMatrixMode");
    EXPECT_EQ(calls[perspective].args[2], double(0.1f));

    // Each object drawn in its own pass: the two lists (sphere, figure) once,
    // both before the depth mask goes off; the cylinder's four strips all
    // inside the blended pass; the swap last.
    size_t maskOff = 0, maskOn = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glDepthMask" && calls[i].args[0] == GL_FALSE) maskOff = i;
        if (calls[i].name == "glDepthMask" && calls[i].args[0] == GL_TRUE) maskOn = i;
    }
    int lists = 0, strips = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glCallList") {
            ++lists;
            EXPECT_LT(i, maskOff);
        }
        if (calls[i].name == "glBegin" && calls[i].args[0] == GL_QUAD_STRIP) {
            ++strips;
            EXPECT_GT(i, maskOff);
            EXPECT_LT(i, maskOn);
        }
    }
    EXPECT_EQ(lists, 2);
    EXPECT_EQ(strips, 4);
    EXPECT_EQ(calls.back().name, "glutSwapBuffers");
    EXPECT_EQ(countNamed(calls, "glutSwapBuffers"), 1);
}

// --- The overlay ---------------------------------------------------------------------

using Overlay = ShellTest;

TEST_F(Overlay, StatisticsAndRateLinesWithTheScenesPolygonCount) {
    gTextOn = true;
    ViewScene(); // at start the rate line reads zero ...
    animateUntil(2.5);
    auto calls = record(NextFrame);
    // 900 sphere quads and triangles, 12 figure faces, 480 wheel faces.
    EXPECT_EQ(gPolygonCount, 1392u);
    auto runs = textRuns(calls);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0].x, 11);
    EXPECT_EQ(runs[0].y, 19);
    EXPECT_EQ(runs[0].text, "Frame: 1, Polygons: 1392, Time: 2.5");
    EXPECT_EQ(runs[1].x, 11);
    EXPECT_EQ(runs[1].y, 7);
    EXPECT_EQ(runs[1].text, "Swaps/Sec: 0.0"); // ... and keeps that text until frame 20
    for (const glCall& c : callsNamed(calls, {"glutBitmapCharacter"}))
        EXPECT_EQ(c.args[0], 8013.0) << "not the 8 by 13 font"; // the recorder's tag for it
    // No caption before 85 s.
    EXPECT_EQ(runs.size(), 2u);

    // Wire frame changes nothing in the count.
    gWireFrameOnly = true;
    calls = record(NextFrame);
    EXPECT_EQ(statisticsLine(calls), "Frame: 2, Polygons: 1392, Time: 2.5");
}

TEST_F(Overlay, CaptionFromEightyFiveSecondsEvenWithTextOff) {
    const char* expected[] = {
        "Geodesics formed by 2 pentagons projected onto a cylinder - Demo version. ",
        "\n Version 4 displays all coordinates for intersections ",
        "\n and calculates curve-lengths between these coordinates.",
        "\n Version 5 constructs objects using this information",
        "\n (c) 2026 the geodesics developers"};
    animateUntil(84.9);
    EXPECT_TRUE(textRuns(record(NextFrame)).empty());

    setAnimationSeconds(85.0);
    auto runs = textRuns(record(NextFrame));
    ASSERT_EQ(runs.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(runs[i].x, 11);
        EXPECT_EQ(runs[i].y, 89 - 12 * i);
        EXPECT_EQ(runs[i].text, expected[i]);
    }

    // With the text on, statistics and rate come first, then the same caption.
    gTextOn = true;
    setAnimationSeconds(120.0);
    runs = textRuns(record(NextFrame));
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[0].text, "Frame: 3, Polygons: 1392, Time: 120.0");
    EXPECT_EQ(runs[2].text, expected[0]);
    EXPECT_EQ(runs[6].text, expected[4]);
}

TEST_F(Overlay, CaptionAlsoOverTheStartSceneOnceTheClockPassesEightyFive) {
    setAnimationSeconds(90.0); // the clock runs from the reset in main()
    auto text = overlayText(record(ViewScene));
    EXPECT_EQ(text.rfind("Geodesics formed by 2 pentagons", 0), 0u) << text;
}

// --- Pixels of a finished frame ---------------------------------------------------------

namespace {
rgbImage captured;
void captureFrame() { captured = readBackBuffer(); }

bool isBlack(const uint8_t* p) { return p[0] < 8 && p[1] < 8 && p[2] < 8; }
bool isWhite(const uint8_t* p) { return p[0] > 240 && p[1] > 240 && p[2] > 240; }
int luminance(const uint8_t* p) { return (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100; }

// Pixels inside the sphere's disc (centre of the window, radius about 230
// pixels from the eye at z = 3) much darker than the sphere around them.
int darkPixelsOnSphere(const rgbImage& img) {
    int dark = 0;
    for (int y = 288 - 150; y < 288 + 150; ++y)
        for (int x = 360 - 150; x < 360 + 150; ++x)
            if (luminance(img.at(x, y)) < 40) ++dark;
    return dark;
}

int whitePixelsIn(const rgbImage& img, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (isWhite(img.at(x, y))) ++n;
    return n;
}
} // namespace

class FramePixels : public ShellTest {
  protected:
    rgbImage drawFrame() {
        captured = rgbImage();
        setBeforeSwapHook(captureFrame);
        ViewScene();
        setBeforeSwapHook(nullptr);
        return captured;
    }
};

TEST_F(FramePixels, BlackBackgroundBrownSphereFigureLinesAndTranslucentCylinder) {
    rgbImage img = drawFrame();
    ASSERT_EQ(img.width, kWindowWidth);

    // Outside the cylinder (it spans about x = 115 to 605 at this distance).
    EXPECT_TRUE(isBlack(img.at(20, 288)));
    EXPECT_TRUE(isBlack(img.at(700, 500)));

    // Beside the sphere only the cylinder covers the black background: the
    // blended slate grey, green and blue above red.
    const uint8_t* beside = img.at(125, 520);
    EXPECT_GT(beside[1], beside[0] + 20) << int(beside[0]) << "," << int(beside[1]) << "," << int(beside[2]);
    EXPECT_GT(beside[2], beside[0]);

    // The sphere at the centre, seen through the cylinder, keeps the brown's
    // red: redder than the cylinder alone, and red above blue.
    const uint8_t* centre = img.at(360, 300);
    EXPECT_GT(centre[0], beside[0] + 20) << int(centre[0]) << "," << int(centre[1]) << "," << int(centre[2]);
    EXPECT_GT(centre[0], centre[2] + 10);

    // Without the cylinder in front, the sphere is plainly brown.
    cyl1->hide();
    rgbImage bare = drawFrame();
    cyl1->show();
    const uint8_t* brown = bare.at(360, 300);
    EXPECT_GT(brown[0], brown[1] + 20) << int(brown[0]) << "," << int(brown[1]) << "," << int(brown[2]);
    EXPECT_GT(brown[1], brown[2] + 10);
    EXPECT_TRUE(isBlack(bare.at(125, 520))); // and the background shows beside it

    // The black figure crosses the sphere: hiding it removes the dark lines.
    int withFigure = darkPixelsOnSphere(img);
    tholix1->hide();
    int withoutFigure = darkPixelsOnSphere(drawFrame());
    tholix1->show();
    EXPECT_GT(withFigure, 500);
    EXPECT_LT(withoutFigure, withFigure / 20);

    // No text anywhere near the overlay's lines.
    EXPECT_EQ(whitePixelsIn(img, 0, 0, 400, 100), 0);
}

TEST_F(FramePixels, WhiteTextOnlyWhereTheOverlayIsWhenTextIsOn) {
    gTextOn = true;
    rgbImage img = drawFrame();
    EXPECT_GT(whitePixelsIn(img, 10, 16, 300, 32), 100); // statistics line at y 19 upwards
    EXPECT_GT(whitePixelsIn(img, 10, 4, 120, 20), 40);   // rate line at y 7 upwards
    EXPECT_EQ(whitePixelsIn(img, 0, 40, 720, 576), 0);   // and nothing above them
}
