// A random walk through everything a user and the window system can do to the
// running program, from a fixed seed: every character key but the two that quit,
// special keys (GLUT's codes and codes it never sends), reshapes down to 0x0 and
// 1x1 and up past the 16-bit sizes, idle ticks as GLUT's main loop makes them,
// clock jumps and redisplays. After every event the program must be in a state
// its mode machine allows, and agree with a small model of that machine: the
// mode, whether an idle callback is registered, and the frame counter.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "tests/harness/glut_recorder.h"
#include "tests/harness/gl_window.h"
#include "tests/harness/test_clock.h"

namespace {

const int kEvents = 12000;
const uint32_t kSeed = 20240611;

// What the program should be doing, tracked from the events alone. The clock
// is kept in whole milliseconds, so the 150 s finish is decided exactly.
struct modeModel {
    ProgramMode mode = kpmAtStart;
    bool idleRegistered = false;
    long frames = 0;
    int32_t now = 0, start = 0, pauseStarted = 0, paused = 0;

    int32_t animationMs() const { return now - start - paused; }

    void key(unsigned char k) {
        switch (k) {
        case 'a':
            start = now;
            paused = 0;
            frames = 0;
            mode = kpmAnimating;
            idleRegistered = true;
            break;
        case 'm':
            start = now;
            paused = 0;
            frames = 0;
            mode = kpmFinished; // the idle registration is left as it was
            break;
        case 'p':
            if (mode == kpmAnimating) {
                mode = kpmPaused;
                pauseStarted = now;
                idleRegistered = false;
            } else if (mode == kpmPaused) {
                mode = kpmAnimating;
                paused += now - pauseStarted;
                idleRegistered = true;
            }
            break;
        default: break;
        }
    }
    int finishes = 0; // times the clock, not a key, ended the animation
    void animate() {
        if (animationMs() < 150000) return;
        mode = kpmFinished;
        ++finishes;
    }
    void draw() {
        if (mode == kpmAnimating) ++frames;
    }
    void idleTick() {
        if (mode == kpmAnimating) {
            animate();
            draw();
        } else if (mode == kpmFinished) {
            idleRegistered = false;
            pauseStarted = now;
        }
    }
    void reshape() {
        if (mode == kpmAnimating) animate();
    }
};

class KeyFuzz : public GLTest {
  protected:
    void SetUp() override {
        GLTest::SetUp();
        setTestTickCount(0);
        ResizeWindow(kWindowWidth, kWindowHeight);
        ConstructScene();
        InitScene();
        gFrameCounter = 0;
        resetAnimationTimer();
    }
};

// Special-key codes: GLUT's function and navigation keys, freeglut's extras,
// and codes no toolkit sends.
const int kSpecialKeys[] = {
    GLUT_KEY_F1, GLUT_KEY_F2, GLUT_KEY_F3, GLUT_KEY_F4, GLUT_KEY_F5, GLUT_KEY_F6,
    GLUT_KEY_F7, GLUT_KEY_F8, GLUT_KEY_F9, GLUT_KEY_F10, GLUT_KEY_F11, GLUT_KEY_F12,
    GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_RIGHT, GLUT_KEY_DOWN, GLUT_KEY_PAGE_UP,
    GLUT_KEY_PAGE_DOWN, GLUT_KEY_HOME, GLUT_KEY_END, GLUT_KEY_INSERT,
    GLUT_KEY_NUM_LOCK, GLUT_KEY_BEGIN, GLUT_KEY_DELETE, GLUT_KEY_SHIFT_L,
    GLUT_KEY_SHIFT_R, GLUT_KEY_CTRL_L, GLUT_KEY_CTRL_R, GLUT_KEY_ALT_L, GLUT_KEY_ALT_R,
    0, -1, 13, 99, 104, 0xff, 0x10000, INT32_MIN, INT32_MAX};

TEST_F(KeyFuzz, RandomEventsKeepTheModeMachineConsistent) {
    std::mt19937 rng(kSeed); // its output sequence is fixed by the C++ standard
    auto below = [&rng](uint32_t n) { return uint32_t(rng() % n); };

    modeModel model;
    int counts[8] = {};
    int modeVisits[5] = {};
    std::string lastEvents[8];

    for (int e = 0; e < kEvents; ++e) {
        std::ostringstream what;
        uint32_t kind = below(100);
        if (kind < 30) { // a character key
            unsigned char k;
            do {
                // Half the presses go to the keys the program acts on, so that
                // the mode machine is exercised and not only ignored keys.
                static const char kActive[] = "aadfilmopprtuwAPM";
                k = below(2) ? (unsigned char)kActive[below(sizeof kActive - 1)]
                             : (unsigned char)below(256);
            } while (k == 27 || k == 'q');
            what << "KeyPress(" << int(k) << ")";
            KeyPress(k, int(below(2000)) - 1000, int(below(2000)) - 1000);
            model.key(k);
            ++counts[0];
        } else if (kind < 40) { // a special key
            int k = kSpecialKeys[below(sizeof kSpecialKeys / sizeof kSpecialKeys[0])];
            what << "SpecialKeyPress(" << k << ")";
            SpecialKeyPress(k, 0, 0);
            ++counts[1];
        } else if (kind < 45) { // a reshape, often degenerate
            static const int kSizes[] = {0, 1, 2, 720, 576, 32767, 32768, 65535, 70000};
            int w = below(2) ? kSizes[below(9)] : int(below(4096));
            int h = below(2) ? kSizes[below(9)] : int(below(4096));
            if (below(8) == 0) w = h = below(2); // 0x0 and 1x1
            what << "ResizeWindow(" << w << ", " << h << ")";
            ResizeWindow(w, h);
            model.reshape();
            ASSERT_GE(gWindowWidth, 1) << what.str();
            ASSERT_GE(gWindowHeight, 1) << what.str();
            ++counts[2];
        } else if (kind < 75) { // an idle tick, if GLUT would make one
            idleFunction idle = currentIdleFunc();
            what << "idle tick" << (idle ? "" : " (none registered)");
            if (idle) {
                idle();
                model.idleTick();
            }
            ++counts[3];
        } else if (kind < 93) { // time passes: a frame's worth, or a long wait
            uint32_t r = below(10);
            int32_t ms = r < 7 ? int32_t(below(50)) : r < 9 ? int32_t(below(40000))
                                                            : int32_t(below(200000));
            what << "clock +" << ms << " ms";
            advanceTestTicks(ms);
            model.now += ms;
            ++counts[4];
        } else { // GLUT asks for a redisplay
            what << "ViewScene";
            ViewScene();
            model.draw();
            ++counts[5];
        }
        lastEvents[e % 8] = what.str();

        auto history = [&]() {
            std::string s = "event " + std::to_string(e) + ", last events:";
            for (int j = 7; j >= 0; --j)
                if (e - j >= 0) s += "\n  " + lastEvents[(e - j) % 8];
            return s;
        };
        const int m = int(gProgramMode);
        ASSERT_TRUE(m == kpmAtStart || m == kpmAnimating || m == kpmPaused || m == kpmFinished)
            << "mode " << m << " (kpmMakingMovie lasts only during the movie call); "
            << history();
        ++modeVisits[m];
        ASSERT_EQ(gProgramMode, model.mode) << history();
        idleFunction idle = currentIdleFunc();
        ASSERT_TRUE(idle == nullptr || idle == &NextFrame) << history();
        // Ticks run only while animating, or until the tick after finishing.
        if (idle) {
            ASSERT_TRUE(m == kpmAnimating || m == kpmFinished) << history();
        }
        if (m == kpmAnimating) {
            ASSERT_NE(idle, nullptr) << history();
        }
        ASSERT_EQ(idle != nullptr, model.idleRegistered) << history();
        ASSERT_EQ(gFrameCounter, model.frames) << history();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << history();
    }

    std::printf("%d events: %d keys, %d special keys, %d reshapes, %d idle calls, %d clock "
                "moves, %d redisplays; %d runs ended by the clock\n",
                kEvents, counts[0], counts[1], counts[2], counts[3], counts[4], counts[5],
                model.finishes);
    std::printf("events seen in each mode: at start %d, animating %d, paused %d, finished %d\n",
                modeVisits[kpmAtStart], modeVisits[kpmAnimating], modeVisits[kpmPaused],
                modeVisits[kpmFinished]);
    // The walk went through the mode machine and every kind of event many
    // times over (kpmAtStart is left for good by the first 'a' or 'm').
    for (int m : {kpmAnimating, kpmPaused, kpmFinished}) EXPECT_GT(modeVisits[m], 300) << "mode " << m;
    EXPECT_GT(model.finishes, 20) << "runs ended by the clock";
    for (int k = 0; k < 6; ++k) EXPECT_GT(counts[k], 300) << "event kind " << k;
}

} // namespace
