// Video through Debian's ffmpeg command: raw frames are piped to a child ffmpeg
// that encodes H.264 MP4, VP9 WebM or a GIF while the next frames are drawn. A
// writer thread takes the frames as read back from a ring of three buffers,
// converts each to what the encoder takes (YUV 4:2:0, or RGB for the GIF) and
// feeds the pipe, so drawing, converting and encoding overlap and memory stays
// the same for any length.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class videoFormat { mp4, webm, gif };

// The ffmpeg found on PATH, or "" when there is none.
std::string findFfmpeg();

class videoEncoder {
  public:
    videoEncoder() = default;
    videoEncoder(const videoEncoder&) = delete;
    videoEncoder& operator=(const videoEncoder&) = delete;
    ~videoEncoder(); // a video not finished is abandoned: ffmpeg is stopped

    // Starts ffmpeg writing `path` (frames of width x height at fps); "" or
    // what went wrong.
    std::string start(const std::string& ffmpeg, videoFormat format, const std::string& path,
                      int width, int height, int fps);

    // A buffer of width * height * 4 bytes to read the next frame into, as
    // offscreenContext::readBgra gives it; waits while all buffers are queued.
    // Null once the encoder has failed (see finish()).
    uint8_t* nextFrame();
    void submitFrame(); // queues the buffer nextFrame() gave

    // Sends the last frames, closes the pipe and waits for ffmpeg; "" when the
    // video was written whole, else what went wrong.
    std::string finish();

  private:
    void writeFrames();
    std::string ffmpegMessage();
    void stopChild();

    static const int kBuffers = 3;
    std::vector<uint8_t> buffers_[kBuffers]; // BGRA, as read back
    std::vector<uint8_t> piped_;             // one frame as the encoder takes it
    int width_ = 0, height_ = 0;
    bool yuv_ = false;
    int queued_ = 0, nextToFill_ = 0, nextToWrite_ = 0;
    bool closing_ = false, abandoned_ = false, failed_ = false;
    std::string writeProblem_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
    int pipe_ = -1;
    pid_t pid_ = 0;
    std::FILE* log_ = nullptr; // ffmpeg's standard error
};
