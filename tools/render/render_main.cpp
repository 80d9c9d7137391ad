// geodesics-render: the geodesics program's own frames, drawn off screen with
// no display, written as PNG pictures of chosen moments, as a video through
// ffmpeg, or as a folder of numbered frames. Bad input exits with status 2 and
// writes nothing; a failure while writing exits with status 1.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

#include "offscreen/offscreen_context.h"
#include "offscreen/scene_frames.h"
#include "tools/render/output_file.h"
#include "tools/render/png_file.h"
#include "tools/render/render_options.h"
#include "tools/render/video_encoder.h"

namespace {
const char* const kName = "geodesics-render";

int badInput(const std::string& problem) {
    std::cerr << kName << ": " << problem << " (see --help)\n";
    return 2;
}

int failure(const std::string& problem) {
    std::cerr << kName << ": " << problem << "\n";
    return 1;
}

// A progress line on standard error, rewritten in place, when it is a terminal.
class progressLine {
  public:
    progressLine(long frames, double from, int fps)
        : frames_(frames), from_(from), fps_(fps), shown_(isatty(2) != 0),
          start_(std::chrono::steady_clock::now()), last_(start_) {}
    void update(long done) {
        if (!shown_) return;
        const auto now = std::chrono::steady_clock::now();
        if (done < frames_ && now - last_ < std::chrono::milliseconds(250)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double rate = elapsed > 0 ? done / elapsed : 0;
        const double left = rate > 0 ? (frames_ - done) / rate : 0;
        std::fprintf(stderr, "\rframe %ld/%ld  %.1f s  %.0f frames/s  %.0f s left   ", done,
                     frames_, from_ + double(done) / fps_, rate, left);
        if (done == frames_) std::fputc('\n', stderr);
    }

  private:
    long frames_;
    double from_;
    int fps_;
    bool shown_;
    std::chrono::steady_clock::time_point start_, last_;
};

struct renderer {
    const renderOptions& options;
    offscreenContext& context;
    sceneFrames& scene;
    std::vector<uint8_t> frame;

    double timeOf(long k) const { return options.from + double(k) / options.fps; }

    // The moments in time order (the scene only runs forward), each written
    // to its own file.
    int pictures() {
        std::vector<std::unique_ptr<pendingFile>> files;
        for (size_t k = 0; k < options.times.size(); ++k) {
            files.push_back(std::make_unique<pendingFile>(pictureName(options, k)));
            if (!files.back()->problem().empty()) return badInput(files.back()->problem());
        }
        for (size_t k : timeOrder(options)) {
            if (!scene.drawAt(options.times[k])) return failure("no frame was drawn");
            context.readFrame(frame.data());
            const std::string problem =
                writePng(files[k]->path(), frame.data(), options.width, options.height);
            if (!problem.empty())
                return failure("cannot write " + quotePath(files[k]->finalPath()) + ": " + problem);
        }
        for (auto& f : files) {
            const std::string problem = f->commit();
            if (!problem.empty()) return failure(problem);
        }
        return 0;
    }

    int video(const std::string& ffmpeg) {
        pendingFile file(options.video);
        if (!file.problem().empty()) return badInput(file.problem());
        videoEncoder encoder;
        std::string problem = encoder.start(ffmpeg, options.format, file.path(), options.width,
                                            options.height, options.fps);
        if (!problem.empty()) return failure(problem);
        const long frames = sequenceFrames(options);
        progressLine progress(frames, options.from, options.fps);
        for (long k = 0; k < frames; ++k) {
            uint8_t* buffer = encoder.nextFrame();
            if (!buffer) break; // ffmpeg has stopped; finish() says why
            if (!scene.drawAt(timeOf(k))) return failure("no frame was drawn");
            context.readBgra(buffer);
            encoder.submitFrame();
            progress.update(k + 1);
        }
        problem = encoder.finish();
        if (!problem.empty()) return failure(problem);
        problem = file.commit();
        return problem.empty() ? 0 : failure(problem);
    }

    int frames() {
        const std::string dir = options.framesDir;
        if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            return badInput("cannot make folder " + quotePath(dir) + ": " + std::strerror(errno));
        struct stat st;
        if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return badInput(quotePath(dir) + " is not a folder");
        const long count = sequenceFrames(options);
        progressLine progress(count, options.from, options.fps);
        for (long k = 0; k < count; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%05ld.png", k);
            pendingFile file(dir + name);
            if (!file.problem().empty())
                return k == 0 ? badInput(file.problem()) : failure(file.problem());
            if (!scene.drawAt(timeOf(k))) return failure("no frame was drawn");
            context.readFrame(frame.data());
            std::string problem =
                writePng(file.path(), frame.data(), options.width, options.height);
            if (problem.empty()) problem = file.commit();
            if (!problem.empty()) return failure(problem);
            progress.update(k + 1);
        }
        return 0;
    }
};
} // namespace

int main(int argc, char** argv) {
    renderOptions options;
    const std::string problem = parseRenderOptions(argc, argv, options);
    if (!problem.empty()) return badInput(problem);
    if (options.help) {
        std::cout << renderHelpText();
        return std::cout.flush() ? 0 : 1;
    }
    std::string ffmpeg;
    if (options.output == renderOutput::video) {
        ffmpeg = findFfmpeg();
        if (ffmpeg.empty())
            return badInput("ffmpeg is not on PATH (Debian's package ffmpeg provides it)");
    }
    // A pipe to an ffmpeg that has died is reported by write() as EPIPE.
    signal(SIGPIPE, SIG_IGN);
    removeTemporariesOnSignals();

    offscreenContext context;
    std::string failed = context.open();
    if (!failed.empty()) return failure("no off-screen OpenGL: " + failed);
    if (options.width > context.maxSize() || options.height > context.maxSize())
        return badInput("--size " + quoteArgument(options.sizeWord) +
                        " is past this OpenGL's limit of " + std::to_string(context.maxSize()) +
                        " pixels a side");
    if (options.samples > context.maxSamples())
        return badInput("--samples " + quoteArgument(options.samplesWord) +
                        " is past this OpenGL's limit of " + std::to_string(context.maxSamples()));
    failed = context.makeFramebuffer(options.width, options.height, options.samples);
    if (!failed.empty()) return failure(failed);

    sceneSettings settings;
    std::copy(options.pentagons, options.pentagons + 4, settings.pentagons);
    settings.stats = options.stats;
    settings.wire = options.wire;
    settings.width = options.width;
    settings.height = options.height;
    settings.fps = options.fps;
    sceneFrames scene(settings);

    renderer r{options, context, scene, {}};
    if (options.output != renderOutput::video)
        r.frame.resize(size_t(options.width) * options.height * 3);
    switch (options.output) {
    case renderOutput::pictures: return r.pictures();
    case renderOutput::video: return r.video(ffmpeg);
    case renderOutput::frames: return r.frames();
    }
    return 1;
}
