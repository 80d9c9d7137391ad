// The video encoder's hand-over between the drawing thread and its writer
// thread, against a stand-in for ffmpeg that reads every frame at once: the
// writer has drained the ring and sleeps when finish() comes, the moment a
// lost wake-up hangs for ever. (A dying encoder is tried on the whole tool,
// in render_tool_test.sh.)
#include "tools/render/video_encoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {
// A stand-in for ffmpeg: a shell script in a folder of its own.
class fakeFfmpeg {
  public:
    explicit fakeFfmpeg(const std::string& body) {
        char dir[] = "/tmp/geodesics-encoder-test-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/ffmpeg";
        std::ofstream(path_) << "#!/bin/sh\n" << body << "\n";
        chmod(path_.c_str(), 0755);
    }
    ~fakeFfmpeg() {
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    const std::string& path() const { return path_; }

  private:
    std::string dir_, path_;
};

// Ends the test process, failing, should finish() not return in time: a hang
// would otherwise only show as the test's time-out, without a word.
class watchdog {
  public:
    explicit watchdog(int seconds)
        : thread_([this, seconds] {
              for (int k = 0; k < seconds * 10 && !done_; ++k)
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              if (done_) return;
              std::fprintf(stderr, "finish() did not return: the writer thread was never woken\n");
              std::_Exit(1);
          }) {}
    ~watchdog() {
        done_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};
} // namespace

// A 2x2 video of a few frames: drawing is instant, so the writer empties the
// ring and waits before the last frame's finish(). 200 videos take under a
// second (without the sanitizers); without finish()'s wake-up the first few
// hang. The sanitizer build preloads Mesa's driver into this test (see
// CMakeLists.txt); the stand-ins need not load it too.
TEST(VideoEncoder, FinishWakesAWriterThatHasSentEveryFrame) {
    unsetenv("LD_PRELOAD");
    const fakeFfmpeg ffmpeg("exec cat >/dev/null");
    const watchdog limit(120);
    for (int video = 0; video < 200; ++video) {
        SCOPED_TRACE("video " + std::to_string(video));
        videoEncoder encoder;
        ASSERT_EQ(encoder.start(ffmpeg.path(), videoFormat::mp4, "/dev/null", 2, 2, 30), "");
        for (int frame = 0; frame < 1 + video % 4; ++frame) {
            uint8_t* buffer = encoder.nextFrame();
            ASSERT_NE(buffer, nullptr);
            std::fill(buffer, buffer + 2 * 2 * 4, uint8_t(frame));
            encoder.submitFrame();
        }
        ASSERT_EQ(encoder.finish(), "");
    }
}
