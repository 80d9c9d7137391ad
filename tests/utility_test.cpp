// The utilities: degree trigonometry, normalisation and triangle normals, the
// two easing curves driven by the animation clock, the circle fit, and the
// overlay text (calls, GL state, pixels), the frame-rate line and fatal().
#include "basicsource/utility.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "tests/harness/fatal_expect.h"
#include "recorder/gl_recorder.h"
#include "tests/harness/gl_window.h"
#include "tests/harness/test_clock.h"

namespace {
// Single precision: sin/cos near 1 are good to a few ulps (~1e-7); the degree
// constant is itself rounded to float, which moves angles by ~1e-8 relative.
const float kTrigTolerance = 1e-6f;

// Starts the animation clock at tick 0 and moves it to `seconds`.
void clockAt(double seconds) {
    gProgramMode = kpmAnimating;
    setTestTickCount(0);
    resetAnimationTimer();
    setAnimationSeconds(seconds);
}

// The characters handed to the 8 by 13 font, in order.
std::string textSent(const std::vector<glCall>& calls) {
    std::string s;
    for (const glCall& c : callsNamed(calls, {"glutBitmapCharacter"})) {
        EXPECT_EQ(c.args[0], 8013.0) << "not the 8 by 13 bitmap font";
        s += char(int(c.args[1]));
    }
    return s;
}

void expectSequence(const std::vector<glCall>& have, const std::vector<glCall>& want) {
    ASSERT_EQ(have.size(), want.size());
    std::string why;
    EXPECT_TRUE(containsInOrder(have, want, &why)) << why;
}
} // namespace

// --- Degree trigonometry ---------------------------------------------------------

TEST(DegreeTrig, TakesAndGivesDegrees) {
    EXPECT_NEAR(sin_d(90), 1.0f, kTrigTolerance);
    EXPECT_NEAR(cos_d(180), -1.0f, kTrigTolerance);
    EXPECT_NEAR(sin_d(30), 0.5f, kTrigTolerance);
    EXPECT_NEAR(cos_d(60), 0.5f, kTrigTolerance);
    EXPECT_NEAR(sin_d(-90), -1.0f, kTrigTolerance);
    EXPECT_NEAR(sin_d(360), 0.0f, kTrigTolerance);
    EXPECT_NEAR(cos_d(0), 1.0f, kTrigTolerance);
    EXPECT_NEAR(atan_d(1), 45.0f, 1e-5f);
    EXPECT_NEAR(atan_d(-1), -45.0f, 1e-5f);
    EXPECT_NEAR(atan_d(std::sqrt(3.0f)), 60.0f, 1e-5f);
}

// --- Normalisation and triangle normals ------------------------------------------

TEST(ReduceToUnit, ScalesToUnitLengthAndKeepsZero) {
    float v[3] = {3, 0, 4};
    ReduceToUnit(v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[1], 0.0f);
    EXPECT_FLOAT_EQ(v[2], 0.8f);

    float w[3] = {-2, 6, -3}; // length 7
    ReduceToUnit(w);
    EXPECT_FLOAT_EQ(w[0], -2.0f / 7);
    EXPECT_FLOAT_EQ(w[1], 6.0f / 7);
    EXPECT_FLOAT_EQ(w[2], -3.0f / 7);

    float zero[3] = {0, 0, 0};
    ReduceToUnit(zero); // no division by zero: no NaN
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_EQ(zero[1], 0.0f);
    EXPECT_EQ(zero[2], 0.0f);
}

TEST(CalculateNormal, CounterClockwiseCornersGiveTheOutwardUnitNormal) {
    const float o[3] = {0, 0, 0}, ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
    float n[3];
    calculateNormal(n, o, ex, ey);
    EXPECT_FLOAT_EQ(n[0], 0);
    EXPECT_FLOAT_EQ(n[1], 0);
    EXPECT_FLOAT_EQ(n[2], 1);

    calculateNormal(n, o, ey, ex); // clockwise seen from +z
    EXPECT_FLOAT_EQ(n[2], -1);

    // A large, tilted triangle: the normal is unit length and perpendicular to
    // both edges (single precision, so 1e-6).
    const float a[3] = {2, -1, 5}, b[3] = {7, 3, -2}, c[3] = {-4, 8, 1};
    calculateNormal(n, a, b, c);
    EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-6f);
    float ab[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    float bc[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    EXPECT_NEAR(n[0] * ab[0] + n[1] * ab[1] + n[2] * ab[2], 0.0f, 1e-5f);
    EXPECT_NEAR(n[0] * bc[0] + n[1] * bc[1] + n[2] * bc[2], 0.0f, 1e-5f);
    // (a - b) x (b - c), worked by hand: (-5,-4,7) x (11,-5,-3) = (47, 62, 69).
    const float len = std::sqrt(47.0f * 47 + 62 * 62 + 69 * 69);
    EXPECT_NEAR(n[0], 47 / len, 1e-6f);
    EXPECT_NEAR(n[1], 62 / len, 1e-6f);
    EXPECT_NEAR(n[2], 69 / len, 1e-6f);
}

TEST(CalculateNormal, DegenerateTriangleGivesZero) {
    const float a[3] = {1, 1, 1}, b[3] = {2, 2, 2}, c[3] = {3, 3, 3};
    float n[3] = {9, 9, 9};
    calculateNormal(n, a, b, c);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 0.0f);
    calculateNormal(n, a, a, c); // two equal corners
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 0.0f);
}

// --- Easing curves ---------------------------------------------------------------

// Values of order 10 after a handful of float operations: 1e-5 absolute.
const float kEaseTolerance = 1e-5f;

TEST(SmoothAcceleration, FollowsTheTrapezoidalProfile) {
    // Ramp 3 s, cruise 9 s, ramp 3 s from 3 to 15: acceleration 12 / (3 * 12) = 1/3.
    struct {
        double t;
        float value;
    } const cases[] = {
        {0, 3},          {4.999, 3}, {5, 3},    {6, 3 + 1.0f / 6}, {8, 4.5f},
        {12.5, 9},       {17, 13.5}, {19, 15 - 1.0f / 6},          {20, 15},
        {20.001, 15},    {100, 15},
    };
    for (const auto& c : cases) {
        clockAt(c.t);
        EXPECT_NEAR(smoothAcceleration(5, 3, 9, 3, 15), c.value, kEaseTolerance) << "t = " << c.t;
    }
}

TEST(SmoothAcceleration, IsContinuousAndMonotonicAcrossEveryPhase) {
    // Millisecond steps from before the start to after the end: never a step
    // back, and never more than the cruise speed (4/3 units a second) allows.
    float previous = 3;
    for (int ms = 4000; ms <= 21000; ++ms) {
        clockAt(ms / 1000.0);
        float v = smoothAcceleration(5, 3, 9, 3, 15);
        ASSERT_GE(v, previous - 1e-6f) << "at " << ms << " ms";
        ASSERT_LE(v - previous, 4.0f / 3 * 0.001f + 1e-5f) << "jump at " << ms << " ms";
        previous = v;
    }
    EXPECT_FLOAT_EQ(previous, 15);
}

TEST(SmoothAcceleration, DescendsSymmetricallyWhenTheFinalValueIsSmaller) {
    clockAt(32.5); // the middle of smoothAcceleration(30, 1, 3, 3, 0.2)
    EXPECT_NEAR(smoothAcceleration(30, 1, 3, 3, 0.2f), 1.6f, kEaseTolerance);
    clockAt(30.5); // half-way up the first ramp: accel 2.8 / 4 = 0.7, 0.35 * 0.25
    EXPECT_NEAR(smoothAcceleration(30, 1, 3, 3, 0.2f), 3 - 0.0875f, kEaseTolerance);
}

TEST(SmoothAcceleration, OnlyAZeroRampMovesLinearlyOverTheCruise) {
    // No acceleration phase: constant speed 5 units a second, no NaN.
    const double times[] = {1, 2, 3, 4, 6, 7};
    const float values[] = {10, 10, 15, 20, 30, 30};
    for (int i = 0; i < 6; ++i) {
        clockAt(times[i]);
        float v = smoothAcceleration(2, 0, 4, 10, 30);
        EXPECT_FALSE(std::isnan(v));
        EXPECT_NEAR(v, values[i], kEaseTolerance) << "t = " << times[i];
    }
    // No ramp and no cruise: a jump at the start time.
    clockAt(1.999);
    EXPECT_FLOAT_EQ(smoothAcceleration(2, 0, 0, 10, 30), 10);
    clockAt(2.001);
    EXPECT_FLOAT_EQ(smoothAcceleration(2, 0, 0, 10, 30), 30);
    // Only a zero ramp divides by zero: a negative one goes through the
    // trapezoid's formula, which stays finite. Ramp -1, cruise 4 from 0 to 10:
    // acceleration 20 / (2 - 8), and at 1 s the cruise phase gives
    // -1 * a * 2 + a / 2 = 5 (the linear fallback would give 2.5).
    clockAt(1);
    EXPECT_NEAR(smoothAcceleration(0, -1, 4, 0, 10), 5.0f, kEaseTolerance);
}

TEST(SpeedUp, AcceleratesFromRestToTheFinalValue) {
    const double times[] = {0, 0.5, 1, 2, 3};
    const float values[] = {0, 0.25f, 1, 4, 4};
    for (int i = 0; i < 5; ++i) {
        clockAt(times[i]);
        EXPECT_NEAR(speedUp(0, 2, 0, 4), values[i], kEaseTolerance) << "t = " << times[i];
    }
    clockAt(11); // a later start and a descending value: 10 - 6 * (1/2)^2
    EXPECT_NEAR(speedUp(10, 2, 10, 4), 8.5f, kEaseTolerance);
    clockAt(9);
    EXPECT_FLOAT_EQ(speedUp(10, 2, 10, 4), 10);
}

TEST(Easing, ReadsThePausedAndFrozenClock) {
    // The curves have no time argument: they follow the animation clock,
    // which excludes pauses and freezes once the animation has finished.
    clockAt(6);
    pauseAnimationTimer();
    advanceTestTicks(10000);
    unpauseAnimationTimer();
    EXPECT_NEAR(smoothAcceleration(5, 3, 9, 3, 15), 3 + 1.0f / 6, kEaseTolerance);
    gProgramMode = kpmFinished;
    advanceTestTicks(2000);
    EXPECT_NEAR(speedUp(0, 12, 0, 144), 36, kEaseTolerance); // frozen at 6 s
    gProgramMode = kpmAtStart;
}

// --- Circle fit ------------------------------------------------------------------

// The worked examples have exact centres; acos near +-1 magnifies rounding, so
// angles are compared to 1e-3 degrees.
TEST(CircleFit, UnitCircleThroughThreePoints) {
    float r, xc, yc, constant, angleS, angleE;
    circle_exp2imp_2d(1, 0, 0, 1, -1, 0, 0, 2, &r, &xc, &yc, &constant, &angleS, &angleE);
    EXPECT_NEAR(xc, 0, 1e-6f);
    EXPECT_NEAR(yc, 0, 1e-6f);
    EXPECT_NEAR(r, 1, 1e-6f);
    EXPECT_NEAR(angleS, 0, 1e-3f);
    EXPECT_NEAR(angleE, 180, 1e-3f);
    EXPECT_NEAR(constant, 90, 1e-3f);
}

TEST(CircleFit, AnglesBelowTheCentreCountFrom180To360) {
    float r, xc, yc, constant, angleS, angleE;
    // Centre (2, 3), radius 5; the third point lies straight below the centre.
    circle_exp2imp_2d(7, 3, 2, 8, 2, -2, 1, 4, &r, &xc, &yc, &constant, &angleS, &angleE);
    EXPECT_NEAR(xc, 2, 1e-5f);
    EXPECT_NEAR(yc, 3, 1e-5f);
    EXPECT_NEAR(r, 5, 1e-5f);
    EXPECT_NEAR(angleS, 0, 1e-3f);
    EXPECT_NEAR(angleE, 270, 1e-3f);
    EXPECT_NEAR(constant, 90, 1e-3f); // 270 degrees in 3 time units

    // From 90 degrees back to 0: a negative rate.
    circle_exp2imp_2d(0, 1, -1, 0, 1, 0, 0, 3, &r, &xc, &yc, &constant, &angleS, &angleE);
    EXPECT_NEAR(angleS, 90, 1e-3f);
    EXPECT_NEAR(angleE, 0, 1e-3f);
    EXPECT_NEAR(constant, -30, 1e-3f);
}

TEST(CircleFit, CollinearOrCoincidentPointsGiveRadiusMinusOne) {
    float r = 7, xc = 7, yc = 7, constant = 7, angleS = 7, angleE = 7;
    circle_exp2imp_2d(0, 0, 1, 1, 2, 2, 0, 1, &r, &xc, &yc, &constant, &angleS, &angleE);
    EXPECT_EQ(r, -1.0f);
    EXPECT_EQ(xc, 0.0f);
    EXPECT_EQ(yc, 0.0f);
    EXPECT_EQ(constant, 0.0f);
    EXPECT_EQ(angleS, 0.0f);
    EXPECT_EQ(angleE, 0.0f);

    r = 7;
    circle_exp2imp_2d(3, 4, 3, 4, 3, 4, 0, 1, &r, &xc, &yc, &constant, &angleS, &angleE);
    EXPECT_EQ(r, -1.0f);
}

// --- fatal and the GL error check ---------------------------------------------------

TEST(Fatal, PrintsTheMessageAndALineFeedThenExitsWithMinusOne) {
    EXPECT_FATAL(fatal("abc"), "^abc\n$");
}

using FatalGL = GLTest;

TEST_F(FatalGL, OpenGLCheckErrorReportsThePendingErrorThroughFatal) {
    openGLCheckError(); // nothing pending: returns, the process goes on
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the child makes its own context
    EXPECT_FATAL(
        {
            glEnable(0x7fff); // not a capability: GL_INVALID_ENUM
            openGLCheckError();
        },
        "^invalid enumerant\n$");
}

// --- DrawTextA ---------------------------------------------------------------------

using DrawText = GLTest;

TEST_F(DrawText, IssuesTheOverlayCallsAndMovesTwelvePixelsPerLine) {
    gWindowWidth = 720;
    gWindowHeight = 576;
    startRecording();
    DrawTextA("ab\ncd", 10, 20);
    std::vector<glCall> calls = stopRecording();
    // The line feed is handed to the font too, after the raster moved.
    expectSequence(calls, {{"glDisable", {GL_LIGHTING}},
                           {"glDisable", {GL_DEPTH_TEST}},
                           {"glDisable", {GL_TEXTURE_2D}},
                           {"glMatrixMode", {GL_PROJECTION}},
                           {"glPushMatrix", {}},
                           {"glLoadIdentity", {}},
                           {"glOrtho", {0, 720, 0, 576, -1, 1}},
                           {"glMatrixMode", {GL_MODELVIEW}},
                           {"glPushMatrix", {}},
                           {"glLoadIdentity", {}},
                           {"glColor3f", {1, 1, 1}},
                           {"glRasterPos2i", {11, 19}},
                           {"glutBitmapCharacter", {8013, 'a'}},
                           {"glutBitmapCharacter", {8013, 'b'}},
                           {"glRasterPos2i", {11, 7}},
                           {"glutBitmapCharacter", {8013, '\n'}},
                           {"glutBitmapCharacter", {8013, 'c'}},
                           {"glutBitmapCharacter", {8013, 'd'}},
                           {"glMatrixMode", {GL_PROJECTION}},
                           {"glPopMatrix", {}},
                           {"glMatrixMode", {GL_MODELVIEW}},
                           {"glPopMatrix", {}},
                           {"glEnable", {GL_DEPTH_TEST}}});
}

TEST_F(DrawText, LaterLinesStartTwelvePixelsLowerEachAtTheSameLeftEdge) {
    startRecording();
    DrawTextA("x\n y\n\nz", 40, 100);
    std::vector<glCall> raster = callsNamed(stopRecording(), {"glRasterPos2i"});
    expectSequence(raster, {{"glRasterPos2i", {41, 99}},
                            {"glRasterPos2i", {41, 87}},
                            {"glRasterPos2i", {41, 75}},
                            {"glRasterPos2i", {41, 63}}});
}

TEST_F(DrawText, OrthoFollowsTheWindowSize) {
    gWindowWidth = 640;
    gWindowHeight = 480;
    startRecording();
    DrawTextA("a", 0, 0);
    std::vector<glCall> ortho = callsNamed(stopRecording(), {"glOrtho"});
    gWindowWidth = 720;
    gWindowHeight = 576;
    expectSequence(ortho, {{"glOrtho", {0, 640, 0, 480, -1, 1}}});
}

TEST_F(DrawText, RestoresBothMatricesAndLeavesModelviewLightingOffDepthOn) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -0.8, 0.8, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, -3);
    glRotatef(30, 0, 1, 0);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    GLfloat projBefore[16], mvBefore[16], projAfter[16], mvAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, mvBefore);
    glMatrixMode(GL_PROJECTION); // left here by a caller: DrawTextA ends in modelview

    DrawTextA("two\nlines", 10, 300);

    glGetFloatv(GL_PROJECTION_MATRIX, projAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, mvAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projAfter[i], projBefore[i]) << "projection element " << i;
        EXPECT_EQ(mvAfter[i], mvBefore[i]) << "modelview element " << i;
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {
struct box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
};
// The bounding box of the lit pixels; every lit pixel must be pure white.
box litPixels(const rgbImage& img) {
    box b;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            EXPECT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255)
                << "pixel " << x << "," << y << " is not white";
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
        }
    return b;
}
box drawAlone(const char* s, int x, int y) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawTextA(s, x, y);
    return litPixels(readBackBuffer());
}
} // namespace

TEST_F(DrawText, DrawsWhiteGlyphsAtTheRasterPosition) {
    gWindowWidth = 720;
    gWindowHeight = 576;
    // Lighting on and a colour set before: the text is still pure white.
    glEnable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    box x = drawAlone("X", 100, 200);
    ASSERT_FALSE(x.empty());
    // One glyph of the 8 by 13 font, near the raster position (101, 199).
    EXPECT_GE(x.x0, 101);
    EXPECT_LT(x.x1, 101 + 8);
    EXPECT_GE(x.y0, 199 - 4);
    EXPECT_LT(x.y1, 199 + 13);

    // A leading space moves the glyph one cell (8 pixels) right.
    box sx = drawAlone(" X", 100, 200);
    EXPECT_EQ(sx.x0 - x.x0, 8);
    EXPECT_EQ(sx.y0, x.y0);

    // After a line feed the glyph is 12 pixels lower, from the same left edge
    // (the font draws the line-feed code itself as an empty, zero-width glyph).
    box nx = drawAlone("\nX", 100, 200);
    EXPECT_EQ(nx.y0 - x.y0, -12);
    EXPECT_EQ(nx.y1 - x.y1, -12);
    EXPECT_EQ(nx.x0, x.x0);

    // Moving the start moves the text by the same amount.
    box moved = drawAlone("X", 300, 50);
    EXPECT_EQ(moved.x0 - x.x0, 200);
    EXPECT_EQ(moved.y0 - x.y0, -150);
}

// --- The frame-rate line -------------------------------------------------------------

using FrameRate = GLTest;

namespace {
// One overlay frame: the frame counter and the clock as ViewScene would have
// them, then the rate line; returns the text handed to the font.
std::string rateLineAt(long frame, double seconds) {
    gFrameCounter = frame;
    setAnimationSeconds(seconds);
    startRecording();
    DrawFrameRate();
    return textSent(stopRecording());
}
void startAnimationClock() {
    gProgramMode = kpmAnimating;
    setTestTickCount(0);
    resetAnimationTimer();
}
} // namespace

TEST_F(FrameRate, OutsideTheAnimationReadsZeroAtTheBottomLeft) {
    for (ProgramMode mode : {kpmAtStart, kpmPaused, kpmFinished}) {
        gProgramMode = mode;
        gFrameCounter = 20;
        startRecording();
        DrawFrameRate();
        std::vector<glCall> calls = stopRecording();
        EXPECT_EQ(textSent(calls), "Swaps/Sec: 0.0") << "mode " << mode;
        expectSequence(callsNamed(calls, {"glRasterPos2i"}), {{"glRasterPos2i", {11, 7}}});
    }
    gProgramMode = kpmAtStart;
}

TEST_F(FrameRate, ShowsTheLastIntervalRefreshedEveryTwentiethFrame) {
    startAnimationClock();
    rateLineAt(19, 1.0);
    EXPECT_EQ(rateLineAt(20, 1.025), "Swaps/Sec: 40.0"); // 1 / 0.025 s
    // Frames 21 to 39 keep that text whatever their own interval.
    EXPECT_EQ(rateLineAt(21, 1.125), "Swaps/Sec: 40.0");
    EXPECT_EQ(rateLineAt(39, 1.5), "Swaps/Sec: 40.0");
    // Frame 40: the interval since frame 39 only, not an average.
    EXPECT_EQ(rateLineAt(40, 1.6), "Swaps/Sec: 10.0");
    EXPECT_EQ(rateLineAt(60, 1.8), "Swaps/Sec: 5.0");
    gProgramMode = kpmAtStart;
}

TEST_F(FrameRate, KeepsTheZeroLineDuringTheFirstFramesOfAnAnimation) {
    gProgramMode = kpmAtStart;
    DrawFrameRate();
    startAnimationClock();
    EXPECT_EQ(rateLineAt(1, 0.01), "Swaps/Sec: 0.0");
    EXPECT_EQ(rateLineAt(19, 0.2), "Swaps/Sec: 0.0");
    EXPECT_EQ(rateLineAt(20, 0.25), "Swaps/Sec: 20.0");
    gProgramMode = kpmAtStart;
}

TEST_F(FrameRate, ZeroIntervalKeepsThePreviousRateInsteadOfInfinity) {
    startAnimationClock();
    rateLineAt(19, 2.0);
    EXPECT_EQ(rateLineAt(20, 2.5), "Swaps/Sec: 2.0");
    rateLineAt(39, 3.0);
    EXPECT_EQ(rateLineAt(40, 3.0), "Swaps/Sec: 2.0"); // same clock tick
    gProgramMode = kpmAtStart;
}

TEST_F(FrameRate, AnIntervalAcrossAClockResetIsShownAsMeasured) {
    startAnimationClock();
    rateLineAt(19, 2.0);
    // The clock restarted (key a) while the overlay was off: the interval since
    // the last overlay frame is negative, and the line says so.
    EXPECT_EQ(rateLineAt(20, 0.5), "Swaps/Sec: -0.7"); // 1 / -1.5 s
    gProgramMode = kpmAtStart;
}

TEST_F(FrameRate, FramesOutsideTheAnimationDoNotMoveTheReferenceTime) {
    startAnimationClock();
    rateLineAt(19, 1.0);
    gProgramMode = kpmPaused;
    rateLineAt(19, 7.0); // the paused redraw reads 0.0 and must not keep 7 s
    gProgramMode = kpmAnimating;
    EXPECT_EQ(rateLineAt(20, 1.05), "Swaps/Sec: 20.0");
    gProgramMode = kpmAtStart;
}

// --- The copyright caption ------------------------------------------------------------

TEST_F(DrawText, ShowCopyrightSendsTheWholeComposedTextAtTenNinety) {
    std::string title(240, '.');
    for (size_t i = 0; i < title.size(); i += 60) title[i] = '\n';
    title += "end of caption";
    const std::string year = "(c) 2026", owner = "the owners of the rights";
    startRecording();
    ShowCopyright(year.c_str(), owner.c_str(), title.c_str());
    std::vector<glCall> calls = stopRecording();
    const std::string expected = title + " " + year + " " + owner;
    ASSERT_GT(expected.size(), 255u);
    EXPECT_EQ(textSent(calls), expected);
    std::vector<glCall> raster = callsNamed(calls, {"glRasterPos2i"});
    ASSERT_FALSE(raster.empty());
    EXPECT_EQ(raster[0].args, (std::vector<double>{11, 89}));
    EXPECT_EQ(raster.size(), 1u + 4u); // one per line feed of the title
}
