// geodesics-render: the geodesics program's own frames, drawn off screen with
// no display, written as PNG pictures of chosen moments, as a video through
// ffmpeg, or as a folder of numbered frames. Bad input exits with status 2 and
// writes nothing; a failure while writing exits with status 1.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <vector>

#include "offscreen/offscreen_context.h"
#include "offscreen/scene_frames.h"
#include "tools/render/core_output.h"
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

// Frames as memory figures in messages: "a 4096x4096 frame (64 MiB)".
std::string frameText(int width, int height, int bytesPerPixel) {
    const double mib = double(width) * height * bytesPerPixel / (1 << 20);
    char text[96];
    std::snprintf(text, sizeof text, "a %dx%d frame (%.0f MiB)", width, height, std::ceil(mib));
    return text;
}

// A frame file an earlier run left: frame-, digits, .png.
bool isFrameName(const char* name) {
    if (std::strncmp(name, "frame-", 6) != 0) return false;
    const char* p = name + 6;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
    return std::strcmp(p, ".png") == 0;
}

struct renderer {
    const renderOptions& options;
    int standardOutput;      // the real one, for --png -; -1 when there is none
    std::string& allocating; // what is being allocated, for a message if memory runs out

    std::vector<std::unique_ptr<pendingFile>> files; // the pictures, or the video
    offscreenContext context;
    std::unique_ptr<sceneFrames> scene;
    std::vector<uint8_t> frame;

    double timeOf(long k) const { return options.from + double(k) / options.fps; }

    // Every name is checked, and every temporary made, before anything is
    // drawn: a name that cannot be written is bad input. Names are read while
    // file descriptor 1 is still the standard output ("/dev/stdout" is its).
    int prepareOutputs() {
        switch (options.output) {
        case renderOutput::pictures:
            if (options.png == "-") {
                if (fcntl(1, F_GETFD) < 0) return badInput("--png -: there is no standard output");
                if (isatty(1))
                    return badInput("--png -: standard output is a terminal; redirect it or "
                                    "pipe it");
                return 0;
            }
            for (size_t k = 0; k < options.times.size(); ++k) {
                files.push_back(std::make_unique<pendingFile>(pictureName(options, k)));
                if (!files.back()->problem().empty()) return badInput(files.back()->problem());
            }
            return 0;
        case renderOutput::video:
            files.push_back(std::make_unique<pendingFile>(options.video));
            return files.back()->problem().empty() ? 0 : badInput(files.back()->problem());
        case renderOutput::frames: return prepareFolder();
        }
        return 0;
    }

    // The frame folder, made if missing. Frames of an earlier run there would
    // mix with the new ones unnoticed, and are the user's: such a folder is
    // refused.
    int prepareFolder() {
        const std::string& dir = options.framesDir;
        if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            return badInput("cannot make folder " + quotePath(dir) + ": " + std::strerror(errno));
        struct stat st;
        if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return badInput(quotePath(dir) + " is not a folder");
        DIR* folder = opendir(dir.c_str());
        if (!folder)
            return badInput("cannot read folder " + quotePath(dir) + ": " + std::strerror(errno));
        std::string earlier;
        while (const dirent* entry = readdir(folder))
            if (isFrameName(entry->d_name)) {
                earlier = entry->d_name;
                break;
            }
        closedir(folder);
        if (!earlier.empty())
            return badInput("--frames " + quotePath(dir) + " already holds frames (" + earlier +
                            "); give a new or empty folder");
        const pendingFile first(dir + "/frame-00000.png");
        return first.problem().empty() ? 0 : badInput(first.problem());
    }

    // The context, the frame's buffers and the scene; 0, or the exit status.
    int startDrawing() {
        allocating = "the off-screen OpenGL context";
        std::string failed = context.open();
        if (!failed.empty()) return failure("no off-screen OpenGL: " + failed);
        if (options.width > context.maxSize() || options.height > context.maxSize())
            return badInput("--size " + quoteArgument(options.sizeWord) +
                            " is past this OpenGL's limit of " + std::to_string(context.maxSize()) +
                            " pixels a side");
        if (options.samples > context.maxSamples())
            return badInput("--samples " + quoteArgument(options.samplesWord) +
                            " is past this OpenGL's limit of " +
                            std::to_string(context.maxSamples()));
        allocating = frameText(options.width, options.height, 4) + " and its buffers";
        failed = context.makeFramebuffer(options.width, options.height, options.samples);
        if (!failed.empty()) return failure(failed);

        allocating = "the scene and its figure";
        sceneSettings settings;
        std::copy(options.pentagons, options.pentagons + 4, settings.pentagons);
        settings.stats = options.stats;
        settings.wire = options.wire;
        settings.width = options.width;
        settings.height = options.height;
        settings.fps = options.fps;
        scene = std::make_unique<sceneFrames>(settings);

        if (options.output != renderOutput::video) {
            allocating = frameText(options.width, options.height, 3);
            frame.resize(size_t(options.width) * options.height * 3);
        }
        allocating = "the drawing of a frame";
        return 0;
    }

    int draw(const std::string& ffmpeg) {
        const int status = startDrawing();
        if (status != 0) return status;
        switch (options.output) {
        case renderOutput::pictures: return pictures();
        case renderOutput::video: return video(ffmpeg);
        case renderOutput::frames: return frames();
        }
        return 1;
    }

    // The moments in time order (the scene only runs forward), each written
    // to its own file, all renamed into place once all are drawn.
    int pictures() {
        for (size_t k : timeOrder(options)) {
            if (!scene->drawAt(options.times[k])) return failure("no frame was drawn");
            context.readFrame(frame.data());
            if (files.empty()) {
                const std::string problem =
                    writePng(standardOutput, frame.data(), options.width, options.height);
                if (!problem.empty()) return failure("cannot write standard output: " + problem);
                continue;
            }
            const std::string problem =
                writePngFile(files[k]->path(), frame.data(), options.width, options.height);
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
        pendingFile& file = *files.front();
        videoEncoder encoder;
        allocating = "the video encoder's " + frameText(options.width, options.height, 4) + "s";
        std::string problem = encoder.start(ffmpeg, options.format, file.path(), options.width,
                                            options.height, options.fps);
        if (!problem.empty()) return failure(problem);
        allocating = "the drawing of a frame";
        const long frames = sequenceFrames(options);
        progressLine progress(frames, options.from, options.fps);
        for (long k = 0; k < frames; ++k) {
            uint8_t* buffer = encoder.nextFrame();
            if (!buffer) break; // ffmpeg has stopped; finish() says why
            if (!scene->drawAt(timeOf(k))) return failure("no frame was drawn");
            context.readBgra(buffer);
            encoder.submitFrame();
            progress.update(k + 1);
        }
        problem = encoder.finish();
        if (!problem.empty()) return failure(problem);
        problem = file.commit();
        return problem.empty() ? 0 : failure(problem);
    }

    // Each frame is renamed into place as soon as it is written.
    int frames() {
        const long count = sequenceFrames(options);
        progressLine progress(count, options.from, options.fps);
        for (long k = 0; k < count; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%05ld.png", k);
            pendingFile file(options.framesDir + name);
            if (!file.problem().empty()) return failure(file.problem());
            if (!scene->drawAt(timeOf(k))) return failure("no frame was drawn");
            context.readFrame(frame.data());
            std::string problem =
                writePngFile(file.path(), frame.data(), options.width, options.height);
            if (!problem.empty())
                return failure("cannot write " + quotePath(file.finalPath()) + ": " + problem);
            problem = file.commit();
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
    const std::string failed = removeTemporariesOnSignals();
    if (!failed.empty()) return failure(failed);

    // Memory can run out in the frame's buffers, the figure or the encoder's
    // ring: the renderer says which and ends at once, its temporaries
    // removed. The driver, short of memory too, is left alone: taking down
    // its context then can wait for ever on threads it could not start.
    std::string allocating = "the names of the files";
    renderer r{options, -1, allocating, {}, {}, {}, {}};
    int status = 1;
    try {
        status = r.prepareOutputs();
        if (status != 0) return status;
        r.standardOutput = setCoreOutputAside(kName);
        status = r.draw(ffmpeg);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory for %s\n", kName, allocating.c_str());
        removePendingFiles();
        rendererEnds();
        _exit(1);
    }
    rendererEnds();
    return status;
}
