// Renderer benchmark: geodesics-render's frames with nothing written, the
// whole 150-second animation at 720x576 and 30 frames a second, off screen as the
// tool draws them. Prints frames a second and wall and CPU milliseconds a
// frame (CPU time includes llvmpipe's threads). After reading back, it also
// times the conversion of a read-back frame to YUV 4:2:0, which the tool's
// writer thread does for every frame of an MP4 or WebM.
//
//   render_bench draw       drawing alone
//   render_bench readback   drawing and reading each frame back, as for video
//   render_bench options    reading a command line of 150,000 --at times, as
//                           one list and as as many options (no drawing)
#include <ctime>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"
#include "offscreen/frame_pixels.h"
#include "offscreen/offscreen_context.h"
#include "offscreen/scene_frames.h"
#include "tools/render/render_options.h"

namespace {
double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}
} // namespace

// Milliseconds of CPU to read `words` as geodesics-render's command line.
double readingMs(std::vector<std::string> words) {
    std::vector<const char*> argv = {"geodesics-render"};
    for (const std::string& w : words) argv.push_back(w.c_str());
    renderOptions options;
    const double before = cpuSeconds();
    const std::string problem = parseRenderOptions(int(argv.size()), argv.data(), options);
    const double ms = (cpuSeconds() - before) * 1e3;
    if (!problem.empty() || options.times.size() != 150000)
        std::fprintf(stderr, "render_bench: the times were not read: %s\n", problem.c_str());
    return ms;
}

void readOptions() {
    std::string list;
    std::vector<std::string> separate;
    for (int k = 0; k < 150000; ++k) {
        const std::string t = std::to_string(k / 1000.0);
        list += (k ? "," : "") + t;
        separate.insert(separate.end(), {"--at", t});
    }
    const double one = readingMs({"--at", list, "--png", "x-%t.png"});
    separate.insert(separate.end(), {"--png", "x-%t.png"});
    const double many = readingMs(separate);
    std::printf("reading 150,000 --at times: %.0f ms as one list, %.0f ms as 150,000 options\n",
                one, many);
}

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "options") == 0) {
        readOptions();
        return 0;
    }
    const bool readback = argc > 1 && std::strcmp(argv[1], "readback") == 0;
    offscreenContext context;
    std::string problem = context.open();
    if (problem.empty()) problem = context.makeFramebuffer(720, 576, 0);
    if (!problem.empty()) {
        std::fprintf(stderr, "render_bench: %s\n", problem.c_str());
        return 1;
    }
    sceneSettings settings;
    std::memcpy(settings.pentagons, kScenePentagons, sizeof settings.pentagons);
    sceneFrames scene(settings);
    std::vector<uint8_t> frame(size_t(720) * 576 * 4);

    const int frames = 150 * 30;
    const auto start = std::chrono::steady_clock::now();
    const double cpu0 = cpuSeconds();
    for (int k = 0; k < frames; ++k) {
        scene.drawAt(double(k) / 30);
        if (readback) context.readBgra(frame.data());
    }
    if (!readback) context.readBgra(frame.data()); // waits for the last frame
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpu0;
    std::printf(
        "%-28s %5d frames in %6.2f s: %6.1f frames/s, %5.2f ms wall, %5.2f ms CPU a frame\n",
        readback ? "drawing and reading back" : "drawing alone", frames, wall, frames / wall,
        wall / frames * 1e3, cpu / frames * 1e3);
    if (readback) {
        std::vector<uint8_t> yuv(yuv420Bytes(720, 576));
        const int conversions = 1000;
        const double before = cpuSeconds();
        for (int k = 0; k < conversions; ++k) bgraToYuv420(frame.data(), 720, 576, yuv.data());
        std::printf("converting a frame to YUV 4:2:0: %.2f ms CPU\n",
                    (cpuSeconds() - before) / conversions * 1e3);
    }
    return 0;
}
