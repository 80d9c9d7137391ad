// geodesics-render's command line: the scene's settings (pentagons, size,
// frame rate, overlays, multisampling, time range) and one output: pictures at
// given moments, a video, or a folder of numbered frames. Times are animation
// seconds, 0 to kAnimationSeconds (150).
#pragma once

#include <string>
#include <vector>

#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"
#include "tools/render/video_encoder.h"

const int kMaxFps = 240;

enum class renderOutput { pictures, video, frames };

struct renderOptions {
    float pentagons[4] = {kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                          kScenePentagons[3]};
    int width = 720, height = 576; // past kLargestFrameSide: kLargestFrameSide + 1
    int fps = 30;
    int samples = 0;                   // 0: no multisampling, as the window
    std::string sizeWord, samplesWord; // as written, for messages ("" for the defaults)
    bool stats = false, wire = false;
    double from = 0, to = kAnimationSeconds;
    std::string fromWord = "0", toWord; // as written, for messages ("" for the default end)
    bool help = false;

    renderOutput output = renderOutput::pictures;
    std::vector<double> times;          // --at, in the order given, each once
    std::vector<std::string> timeWords; // as written, for %t
    std::string png;                    // --png, may hold %t; "-" is standard output
    std::string video;                  // --video
    videoFormat format = videoFormat::mp4;
    std::string framesDir; // --frames
};

// Fills `options` from argv; returns what is wrong with the command line, one
// line, or "" when nothing is. Stops at --help.
std::string parseRenderOptions(int argc, const char* const* argv, renderOptions& options);

// The picture file for time index k: --png with each %t replaced by the time as written.
std::string pictureName(const renderOptions& options, size_t k);

// The indices of `times` in time order (the scene only runs forward).
std::vector<size_t> timeOrder(const renderOptions& options);

// Frames of a video or a frame folder: from + k / fps for k below this count.
long sequenceFrames(const renderOptions& options);

const char* renderUsage();    // the usage lines
std::string renderHelpText(); // starts with the usage lines
