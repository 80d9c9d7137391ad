#include "tools/render/video_encoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "offscreen/frame_pixels.h"
#include "tools/render/output_file.h"

extern char** environ;

namespace {
// The encoder settings. x264 "veryfast" with the quickest subpixel and motion
// searches (subme=1, me=dia) and half its lookahead costs 40% less than
// "veryfast" alone for files about a tenth larger, which lets encoding keep up
// with drawing on two cores; VP9 in real-time mode likewise. Both take the
// frames in YUV 4:2:0 as piped and are told the matrix and range, so players
// convert back as the frames were converted (offscreen/frame_pixels.h). The
// GIF gets a palette of 128 colours per frame, so that ffmpeg need not hold
// the whole video to compute one, and a light ordered dither, which keeps the
// file small. (The option lists keep their own layout, option then value.)
// clang-format off
std::vector<std::string> formatArguments(videoFormat format) {
    switch (format) {
    case videoFormat::mp4:
        return {"-c:v", "libx264", "-preset", "veryfast",
                "-x264-params", "subme=1:me=dia:rc-lookahead=5", "-crf", "20",
                "-colorspace", "smpte170m", "-color_range", "tv", "-f", "mp4"};
    case videoFormat::webm:
        return {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1",
                "-b:v", "0", "-crf", "32", "-colorspace", "smpte170m", "-color_range", "tv",
                "-f", "webm"};
    case videoFormat::gif:
        return {"-filter_complex",
                "split[a][b];[a]palettegen=stats_mode=single:max_colors=128:"
                "reserve_transparent=0[p];[b][p]paletteuse=new=1:dither=bayer:bayer_scale=5",
                "-f", "gif"};
    }
    return {};
}
// clang-format on
} // namespace

std::string findFfmpeg() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/ffmpeg";
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

std::string videoEncoder::start(const std::string& ffmpeg, videoFormat format,
                                const std::string& path, int width, int height, int fps) {
    width_ = width;
    height_ = height;
    yuv_ = format != videoFormat::gif;
    for (auto& b : buffers_) b.resize(size_t(width) * height * 4);
    piped_.resize(yuv_ ? yuv420Bytes(width, height) : size_t(width) * height * 3);

    // clang-format off
    std::vector<std::string> args = {ffmpeg, "-hide_banner", "-nostdin", "-loglevel", "error",
                                     "-y", "-f", "rawvideo", "-pix_fmt",
                                     yuv_ ? "yuv420p" : "rgb24", "-s",
                                     std::to_string(width) + "x" + std::to_string(height), "-r",
                                     std::to_string(fps), "-i", "pipe:0"};
    // clang-format on
    for (std::string& a : formatArguments(format)) args.push_back(std::move(a));
    // ffmpeg reads "a:b.mp4" as a protocol and "-d" as an option; "file:"
    // makes any name a file's.
    args.push_back("file:" + path);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::string("no pipe: ") + std::strerror(errno);
    log_ = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (log_) posix_spawn_file_actions_adddup2(&actions, fileno(log_), 2);
    // ffmpeg gets the signals the renderer blocks (it takes them in a thread
    // of its own) and those it ignores as they were at the start.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, pipeSignal;
    sigemptyset(&none);
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int err = posix_spawn(&pid_, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (err != 0) {
        pid_ = 0;
        close(fds[1]);
        return "cannot run " + ffmpeg + ": " + std::strerror(err);
    }
    setChildToStopOnSignal(pid_);
    pipe_ = fds[1];
    try {
        writer_ = std::thread(&videoEncoder::writeFrames, this);
    } catch (const std::system_error& e) {
        return std::string("cannot start the encoder's thread: ") + e.what();
    }
    return "";
}

uint8_t* videoEncoder::nextFrame() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queued_ < kBuffers || failed_; });
    if (failed_) return nullptr;
    return buffers_[nextToFill_].data();
}

void videoEncoder::submitFrame() {
    std::lock_guard<std::mutex> lock(mutex_);
    nextToFill_ = (nextToFill_ + 1) % kBuffers;
    ++queued_;
    changed_.notify_all();
}

// Converting and writing happen outside the lock; a frame's buffer is handed
// back once it is converted, while ffmpeg takes the converted copy. A closed
// pipe (ffmpeg gone) is EPIPE here, since the renderer ignores SIGPIPE.
void videoEncoder::writeFrames() {
    for (;;) {
        const uint8_t* frame = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return queued_ > 0 || closing_; });
            if (abandoned_ || queued_ == 0) return;
            frame = buffers_[nextToWrite_].data();
        }
        if (yuv_)
            bgraToYuv420(frame, width_, height_, piped_.data());
        else
            bgraToRgb(frame, width_, height_, piped_.data());
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (abandoned_) return;
            nextToWrite_ = (nextToWrite_ + 1) % kBuffers;
            --queued_;
            changed_.notify_all();
        }
        size_t done = 0;
        while (done < piped_.size()) {
            const ssize_t n = write(pipe_, piped_.data() + done, piped_.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                failed_ = true;
                writeProblem_ = std::strerror(errno);
                changed_.notify_all();
                return;
            }
            done += size_t(n);
        }
    }
}

// The last line ffmpeg wrote on its standard error, if any.
std::string videoEncoder::ffmpegMessage() {
    if (!log_) return "";
    std::rewind(log_);
    std::string last, line;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, log_)) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty()) last = line;
            line.clear();
        }
    }
    if (!line.empty()) last = line;
    return last;
}

std::string videoEncoder::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.notify_all();
    }
    if (writer_.joinable()) writer_.join();
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    if (pid_ == 0) return "ffmpeg was not started";
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    pid_ = 0;
    setChildToStopOnSignal(0);
    const std::string said = ffmpegMessage();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !failed_) return "";
    std::string problem = "ffmpeg failed";
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        problem += " (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    else if (WIFSIGNALED(status))
        problem += " (killed by signal " + std::to_string(WTERMSIG(status)) + ")";
    else if (failed_)
        problem += " (stopped reading frames: " + writeProblem_ + ")";
    if (!said.empty()) problem += ": " + said;
    return problem;
}

void videoEncoder::stopChild() {
    if (pid_ == 0) return;
    kill(pid_, SIGKILL);
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    pid_ = 0;
    setChildToStopOnSignal(0);
}

videoEncoder::~videoEncoder() {
    if (writer_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
            abandoned_ = true; // what is still queued is not sent
            changed_.notify_all();
        }
        stopChild(); // unblocks a write in progress (EPIPE)
        writer_.join();
    }
    if (pipe_ >= 0) close(pipe_);
    stopChild();
    if (log_) std::fclose(log_);
}
