// The platform layer: the animation clock across reset, pause, resume and the
// finished mode, driven by the test tick source (no sleeping); and the stubs.
#include "basicsource/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "basicsource/main.h"
#include "tests/harness/test_clock.h"

// Times are whole milliseconds divided by 1000 and stored as float: exact to
// float rounding, so EXPECT_FLOAT_EQ (4 ulps) throughout.

namespace {
void resetAt(int32_t ms, ProgramMode mode = kpmAnimating) {
    gProgramMode = mode;
    setTestTickCount(ms);
    resetAnimationTimer();
}
} // namespace

TEST(AnimationClock, CountsSecondsSinceTheLastReset) {
    resetAt(123456);
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.0f);
    advanceTestTicks(1000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
    advanceTestTicks(250);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.25f);
    // Every reading is taken anew.
    advanceTestTicks(1);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.251f);

    // A reset starts again from 0, wherever the tick source stands.
    advanceTestTicks(5000);
    resetAnimationTimer();
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.0f);
    advanceTestTicks(300);
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.3f);
}

TEST(AnimationClock, RunsInEveryModeButFinished) {
    resetAt(0, kpmAtStart); // main resets the clock before the main loop
    advanceTestTicks(2000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 2.0f);
    gProgramMode = kpmMakingMovie;
    advanceTestTicks(500);
    EXPECT_FLOAT_EQ(getAnimationTime(), 2.5f);
    gProgramMode = kpmAtStart;
}

TEST(AnimationClock, PauseIsSubtractedWhenItEnds) {
    resetAt(0);
    advanceTestTicks(3000);
    gProgramMode = kpmPaused;
    pauseAnimationTimer();
    // A reading during the pause still includes the pause so far.
    advanceTestTicks(1000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 4.0f);
    advanceTestTicks(1000);
    gProgramMode = kpmAnimating;
    unpauseAnimationTimer();
    // Resumed: the time continues from where the pause began.
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.0f);
    advanceTestTicks(500);
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.5f);

    // A second pause adds to the first.
    pauseAnimationTimer();
    advanceTestTicks(7000);
    unpauseAnimationTimer();
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.5f);
    advanceTestTicks(100);
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.6f);

    // A reset clears the paused total.
    resetAnimationTimer();
    advanceTestTicks(1000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
    gProgramMode = kpmAtStart;
}

TEST(AnimationClock, FinishedFreezesTheLastValueComputed) {
    resetAt(0);
    advanceTestTicks(7500);
    EXPECT_FLOAT_EQ(getAnimationTime(), 7.5f);
    // Time passes without a reading before the mode changes: the frozen value
    // is the last one computed, not the time of the change.
    advanceTestTicks(1500);
    gProgramMode = kpmFinished;
    pauseAnimationTimer(); // as the idle tick does once finished
    for (int i = 0; i < 3; ++i) {
        advanceTestTicks(60000);
        EXPECT_FLOAT_EQ(getAnimationTime(), 7.5f);
    }
    // A restart (key a) resets the clock and runs it from 0 again.
    resetAnimationTimer();
    gProgramMode = kpmAnimating;
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.0f);
    advanceTestTicks(2000);
    EXPECT_FLOAT_EQ(getAnimationTime(), 2.0f);
    gProgramMode = kpmAtStart;
}

TEST(AnimationClock, SurvivesTheTickCounterWrapping) {
    // After about 24.8 days a signed 32-bit millisecond count wraps; the
    // difference taken in 32-bit arithmetic is still right.
    resetAt(INT32_MAX - 499);
    setTestTickCount(INT32_MIN + 1000); // 1500 ticks later, across the wrap
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.5f);
    gProgramMode = kpmAtStart;
}

TEST(Platform, StubsLoadNothingAndNameTheResourceDirectory) {
    char path[32];
    std::memset(path, 'x', sizeof path);
    getPathToResourceDirectory(path);
    EXPECT_STREQ(path, "./resources");
    EXPECT_EQ(loadTextureFile("resources/anything.png", true), 0u);
    EXPECT_EQ(loadTextureFile("resources/anything.png", false), 0u);
}
