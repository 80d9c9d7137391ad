// The whole 150-second animation, start to finish and past it, in process: the
// test clock moves 1/60 s of animation time per idle tick and the registered
// idle callback is called as GLUT's main loop would call it. The sanitizer
// build runs this under AddressSanitizer and UndefinedBehaviorSanitizer, so
// every frame of the run is checked for memory and undefined-behaviour faults.
// Along the way: the mode transitions, the frame counter, the finish at 150 s,
// the idle callback removed by the tick after, a frozen clock after the end,
// a continuous camera path and no OpenGL error: none seen by glGetError after
// any frame, and none in Mesa's own error log (MESA_DEBUG), which also reports
// errors raised inside display lists.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "tests/harness/glut_recorder.h"
#include "tests/harness/gl_window.h"
#include "tests/harness/test_clock.h"

namespace {

// With MESA_DEBUG set, Mesa logs "Mesa: User error: ..." for every OpenGL
// error, to the file named by MESA_LOG_FILE. Mesa reads both when it first logs,
// so setting them before main() runs is early enough.
std::string mesaLogPath;
const bool mesaLogSet = [] {
    char path[] = "/tmp/geodesics-mesa-log-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return false;
    close(fd);
    mesaLogPath = path;
    setenv("MESA_DEBUG", "1", 1);
    setenv("MESA_LOG_FILE", path, 1);
    std::atexit([] { std::remove(mesaLogPath.c_str()); });
    return true;
}();

int mesaErrorsLogged() {
    std::FILE* f = std::fopen(mesaLogPath.c_str(), "r");
    if (!f) return -1;
    int n = 0;
    char line[1024];
    while (std::fgets(line, sizeof line, f))
        if (std::strstr(line, "Mesa: User error")) ++n;
    std::fclose(f);
    return n;
}

const int kTicksPerSecond = 60;
const int kRunSeconds = 151;            // one second past the end of the animation
const int32_t kPressedAtMs = 4000;      // the user waits 4 s before pressing 'a'

// The scene is built once per process, after the window exists, as main() does.
void constructSceneOnce() {
    static bool constructed = false;
    ensureGLWindow();
    if (constructed) return;
    constructed = true;
    setTestTickCount(0);
    ResizeWindow(kWindowWidth, kWindowHeight); // the reshape GLUT sends on mapping
    ConstructScene();
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
}

float distance(const vec& a, const vec& b) {
    float dx = a.data[0] - b.data[0], dy = a.data[1] - b.data[1], dz = a.data[2] - b.data[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The tick count of idle tick i after the key press.
int32_t tickMs(int i) {
    return kPressedAtMs + int32_t(std::lround(i * 1000.0 / kTicksPerSecond));
}

class FullRun : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        constructSceneOnce();
    }
};

TEST_F(FullRun, AnimatesFromStartToFinishAndStopsTicking) {
    ASSERT_TRUE(mesaLogSet);
    const int mesaErrorsBefore = mesaErrorsLogged();
    ASSERT_EQ(gProgramMode, kpmAtStart);
    ASSERT_EQ(currentIdleFunc(), nullptr) << "no idle callback before the first 'a'";

    // Before 'a' the scene is drawn only on request, and such frames don't count.
    setTestTickCount(kPressedAtMs / 2);
    ViewScene();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(gFrameCounter, 0);

    setTestTickCount(kPressedAtMs);
    KeyPress('a', 0, 0);
    ASSERT_EQ(gProgramMode, kpmAnimating);
    ASSERT_EQ(currentIdleFunc(), &NextFrame);
    ASSERT_EQ(gFrameCounter, 0);
    ASSERT_EQ(getAnimationTime(), 0.0f);

    std::vector<ProgramMode> modesSeen{kpmAtStart, kpmAnimating};
    const float kMaxStepPerTick = 0.1f; // the camera moves under 1 unit per second
    vec lastEye = camera.getLocation();
    vec lastTarget = camera.getTarget();
    unsigned long polygonsPerFrame = 0;
    int finishedAt = 0, idleRemovedAt = 0;
    long framesAtFinish = 0;

    for (int i = 1; i <= kRunSeconds * kTicksPerSecond; ++i) {
        const int32_t ms = tickMs(i);
        const int32_t animationMs = ms - kPressedAtMs;
        setTestTickCount(ms);

        idleFunction idle = currentIdleFunc();
        if (idle) {
            ASSERT_EQ(idle, &NextFrame) << "tick " << i;
            idle();
        } else {
            ViewScene(); // after the end only redisplays draw: they must not count
        }
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "after tick " << i;
        if (gProgramMode != modesSeen.back()) modesSeen.push_back(gProgramMode);

        if (i == 1) polygonsPerFrame = gPolygonCount;
        ASSERT_GT(polygonsPerFrame, 0ul);
        ASSERT_EQ(gPolygonCount, polygonsPerFrame) << "tick " << i << ": same scene, same count";

        // The camera path is continuous: no jump between the eased blocks.
        ASSERT_LE(distance(camera.getLocation(), lastEye), kMaxStepPerTick) << "tick " << i;
        ASSERT_LE(distance(camera.getTarget(), lastTarget), kMaxStepPerTick) << "tick " << i;
        lastEye = camera.getLocation();
        lastTarget = camera.getTarget();

        if (animationMs < 150000) {
            ASSERT_EQ(gProgramMode, kpmAnimating) << "tick " << i;
            ASSERT_EQ(gFrameCounter, i) << "every idle tick draws one counted frame";
            ASSERT_EQ(getAnimationTime(), float(animationMs / 1000.0)) << "tick " << i;
            ASSERT_EQ(currentIdleFunc(), &NextFrame) << "tick " << i;
            continue;
        }
        ASSERT_EQ(gProgramMode, kpmFinished) << "tick " << i << " at " << animationMs << " ms";
        // The clock froze at the value the finishing tick read: 150 s exactly.
        ASSERT_EQ(getAnimationTime(), 150.0f) << "tick " << i;
        if (!finishedAt) {
            finishedAt = i;
            framesAtFinish = gFrameCounter;
            // The finishing tick still drew its frame, uncounted, and left the
            // idle callback for the next tick to remove.
            ASSERT_EQ(gFrameCounter, i - 1);
            ASSERT_EQ(currentIdleFunc(), &NextFrame);
        } else {
            if (!idleRemovedAt) idleRemovedAt = i;
            ASSERT_EQ(currentIdleFunc(), nullptr) << "tick " << i;
            ASSERT_EQ(gFrameCounter, framesAtFinish) << "no frame counts after the end";
        }
    }

    EXPECT_EQ(finishedAt, 150 * kTicksPerSecond);
    EXPECT_EQ(idleRemovedAt, finishedAt + 1);
    EXPECT_EQ(modesSeen, (std::vector<ProgramMode>{kpmAtStart, kpmAnimating, kpmFinished}));
    // From 85 s on the camera rests where it started, looking at the origin.
    EXPECT_FLOAT_EQ(camera.getLocation().data[0], 0.0f);
    EXPECT_FLOAT_EQ(camera.getLocation().data[1], 0.0f);
    EXPECT_FLOAT_EQ(camera.getLocation().data[2], 3.0f);
    EXPECT_LT(distance(camera.getTarget(), vec()), 1e-6f);

    // 'a' after the end starts a new run from time 0 with the ticks back on.
    KeyPress('a', 0, 0);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(currentIdleFunc(), &NextFrame);
    setTestTickCount(tickMs(kRunSeconds * kTicksPerSecond) + 1000);
    currentIdleFunc()();
    EXPECT_EQ(gFrameCounter, 1);
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(mesaErrorsLogged() - mesaErrorsBefore, 0) << "see " << mesaLogPath;
}

// The checks above rely on both reports of an OpenGL error working: glGetError
// and Mesa's log. A deliberate error shows that each of them sees it.
TEST_F(FullRun, AnOpenGLErrorIsReportedBothWays) {
    ASSERT_TRUE(mesaLogSet);
    const int before = mesaErrorsLogged();
    glEnable(GLenum(0x7fff));
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(mesaErrorsLogged() - before, 1);
}

} // namespace
