#include "tools/render/render_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "mathematics/decimal_words.h"
#include "mathematics/number_text.h"
#include "mathematics/option_words.h"
#include "offscreen/offscreen_context.h"

namespace {
// A whole number written as a decimal ("30", "30.0", "3e1"); false for
// anything else, negative numbers included.
bool readWhole(const std::string& word, double& value) {
    double v = 0;
    if (!readDecimal(word.c_str(), v) || v < 0 || v != std::floor(v)) return false;
    value = v;
    return true;
}

// Seconds as the help and the messages write them: "150", "0.5".
std::string secondsText(double t) { return printed("%g", t); }

// Animation seconds: a decimal from 0 to the end of the animation.
std::string readTime(const std::string& option, const std::string& word, double& t) {
    if (!readDecimal(word.c_str(), t))
        return option + " " + quoteArgument(word) + " is not a number of seconds";
    if (t < 0 || t > kAnimationSeconds)
        return option + " " + quoteArgument(word) + " is outside the animation (0 to " +
               secondsText(kAnimationSeconds) + " s)";
    return "";
}

// Any whole number of pixels is read: those past the OpenGL's limit, which
// is known once it runs, are refused then, quoting the word. Past the largest
// side of all, the exact value does not matter.
std::string readSize(const std::string& word, renderOptions& options) {
    const size_t x = word.find('x');
    double w = 0, h = 0;
    if (x == std::string::npos || !readWhole(word.substr(0, x), w) ||
        !readWhole(word.substr(x + 1), h))
        return "--size " + quoteArgument(word) + " is not WIDTHxHEIGHT (e.g. 1920x1080)";
    if (w < 1 || h < 1) return "--size " + quoteArgument(word) + " has no pixels";
    options.width = int(std::min(w, kLargestFrameSide + 1.0));
    options.height = int(std::min(h, kLargestFrameSide + 1.0));
    options.sizeWord = word;
    return "";
}

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (s.size() < n) return false;
    for (size_t k = 0; k < n; ++k)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + k])) != suffix[k])
            return false;
    return true;
}

// Times are only collected here; twice the same time is looked for once all
// are read (checkTimes), so that a long list costs no more than its sorting.
std::string readAt(const std::string& list, renderOptions& options) {
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string word = list.substr(start, comma - start);
        double t = 0;
        std::string problem = readTime("--at", word, t);
        if (!problem.empty()) return problem;
        options.times.push_back(t);
        options.timeWords.push_back(word);
        if (comma == std::string::npos) return "";
        start = comma + 1;
    }
}

// The pictures' times, each given once, and each picture a file of its own.
std::string checkTimes(const renderOptions& options) {
    const std::vector<size_t> order = timeOrder(options);
    for (size_t k = 1; k < order.size(); ++k)
        if (options.times[order[k]] == options.times[order[k - 1]])
            return "--at gives " + quoteArgument(options.timeWords[order[k]]) + " twice";
    if (options.png == "-" && options.times.size() > 1)
        return "--png - writes one picture to standard output: give one --at time";
    if (options.times.size() > 1 && options.png.find("%t") == std::string::npos)
        return "--png " + quoteArgument(options.png) +
               " needs %t in its name for several --at times";
    return "";
}

// Checks that hold between options once all are read.
std::string checkTogether(renderOptions& options, bool rangeGiven) {
    const int outputs = int(!options.times.empty() || !options.png.empty()) +
                        int(!options.video.empty()) + int(!options.framesDir.empty());
    if (outputs == 0) return "nothing to write: give --at and --png, --video or --frames";
    if (outputs > 1) return "give only one of --at/--png, --video and --frames";
    if (!options.video.empty()) {
        options.output = renderOutput::video;
        if (endsWith(options.video, ".mp4"))
            options.format = videoFormat::mp4;
        else if (endsWith(options.video, ".webm"))
            options.format = videoFormat::webm;
        else if (endsWith(options.video, ".gif"))
            options.format = videoFormat::gif;
        else
            return "--video " + quoteArgument(options.video) +
                   " does not end in .mp4, .webm or .gif";
        // Both encoders store colour at half resolution in each direction.
        if (options.format != videoFormat::gif && (options.width % 2 || options.height % 2))
            return "--size " + std::to_string(options.width) + "x" +
                   std::to_string(options.height) +
                   ": MP4 and WebM video need an even width and height";
    } else if (!options.framesDir.empty()) {
        options.output = renderOutput::frames;
    } else {
        options.output = renderOutput::pictures;
        if (options.times.empty()) return "--png needs --at with the moments to draw";
        if (options.png.empty()) return "--at needs --png with the file to write";
        if (rangeGiven) return "--from and --to set a video's range; --at gives its own times";
        return checkTimes(options);
    }
    if (options.from >= options.to)
        return "--from " + quoteArgument(options.fromWord) + " is not before --to " +
               quoteArgument(options.toWord.empty() ? secondsText(options.to) : options.toWord);
    if (sequenceFrames(options) < 1) return "--from to --to is shorter than one frame";
    return "";
}
} // namespace

namespace {
// --pentagons and the four words after it, or --pentagons=LAT1,LONG1,LAT2,LONG2
// as the web page's links write them, read by the report tool's reader.
std::string readPentagons(int argc, const char* const* argv, int& k, renderOptions& options) {
    const std::string word = argv[k];
    std::vector<std::string> values;
    if (word == "--pentagons") {
        while (values.size() < 4 && k + 1 < argc && looksLikeNumber(argv[k + 1]))
            values.push_back(argv[++k]);
    } else {
        const std::string list = word.substr(std::strlen("--pentagons="));
        for (size_t start = 0, comma = 0; comma != std::string::npos; start = comma + 1) {
            comma = list.find(',', start);
            values.push_back(list.substr(start, comma - start));
        }
    }
    if (values.size() != 4)
        return "--pentagons needs 4 values (LAT1 LONG1 LAT2 LONG2), got " +
               std::to_string(values.size());
    const char* const words[4] = {values[0].c_str(), values[1].c_str(), values[2].c_str(),
                                  values[3].c_str()};
    return parsePentagonValues(words, options.pentagons);
}

// The options that take a value (--name VALUE or --name=VALUE): false when
// argv[k] is none of them; otherwise `problem` says what is wrong, if anything.
bool readValueOption(int argc, const char* const* argv, int& k, renderOptions& options,
                     bool& rangeGiven, std::string& problem) {
    std::string value;
    if (optionValue("--size", argc, argv, k, value, problem)) {
        if (problem.empty()) problem = readSize(value, options);
    } else if (optionValue("--fps", argc, argv, k, value, problem)) {
        double fps = 0;
        if (problem.empty() && (!readWhole(value, fps) || fps < 1 || fps > kMaxFps))
            problem = "--fps " + quoteArgument(value) + " is not a whole number from 1 to " +
                      std::to_string(kMaxFps);
        options.fps = int(fps);
    } else if (optionValue("--samples", argc, argv, k, value, problem)) {
        // As with --size, the OpenGL's own limit is checked once it runs.
        double samples = 0;
        if (problem.empty() && !readWhole(value, samples))
            problem = "--samples " + quoteArgument(value) + " is not a whole number from 0";
        options.samples = int(std::min(samples, 1e6));
        options.samplesWord = value;
    } else if (optionValue("--from", argc, argv, k, value, problem)) {
        if (problem.empty()) problem = readTime("--from", value, options.from);
        options.fromWord = value;
        rangeGiven = true;
    } else if (optionValue("--to", argc, argv, k, value, problem)) {
        if (problem.empty()) problem = readTime("--to", value, options.to);
        options.toWord = value;
        rangeGiven = true;
    } else if (optionValue("--at", argc, argv, k, value, problem)) {
        if (problem.empty()) problem = readAt(value, options);
    } else {
        // The outputs: an empty file or folder name is as good as a missing one.
        std::string* output = nullptr;
        const char* name = nullptr;
        for (auto [option, field] : {std::pair{"--png", &options.png},
                                     {"--video", &options.video},
                                     {"--frames", &options.framesDir}})
            if (!output && optionValue(option, argc, argv, k, value, problem)) {
                output = field;
                name = option;
            }
        if (!output) return false;
        *output = value;
        if (problem.empty() && value.empty()) problem = std::string("missing value after ") + name;
    }
    return true;
}
} // namespace

std::string parseRenderOptions(int argc, const char* const* argv, renderOptions& options) {
    bool rangeGiven = false;
    for (int k = 1; k < argc; ++k) {
        const std::string word = argv[k];
        std::string problem;
        if (word == "--help" || word == "-h") {
            options.help = true;
            return "";
        }
        if (word == "--stats")
            options.stats = true;
        else if (word == "--wire")
            options.wire = true;
        else if (word == "--pentagons" || word.rfind("--pentagons=", 0) == 0)
            problem = readPentagons(argc, argv, k, options);
        else if (!readValueOption(argc, argv, k, options, rangeGiven, problem))
            return (word.size() > 1 && word[0] == '-' ? "unknown option "
                                                      : "unexpected argument ") +
                   quoteArgument(word);
        if (!problem.empty()) return problem;
    }
    return checkTogether(options, rangeGiven);
}

std::string pictureName(const renderOptions& options, size_t k) {
    std::string name = options.png;
    for (size_t at = name.find("%t"); at != std::string::npos;
         at = name.find("%t", at + options.timeWords[k].size()))
        name.replace(at, 2, options.timeWords[k]);
    return name;
}

std::vector<size_t> timeOrder(const renderOptions& options) {
    std::vector<size_t> order(options.times.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return options.times[a] < options.times[b]; });
    return order;
}

long sequenceFrames(const renderOptions& options) {
    return std::lround((options.to - options.from) * options.fps);
}

// The usage, a literal so the help text can begin with it.
#define RENDER_USAGE                                                                               \
    "usage: geodesics-render [--pentagons LAT1 LONG1 LAT2 LONG2] [--size WxH] [--fps N]\n"         \
    "                        [--stats] [--wire] [--samples N] [--from S] [--to S]\n"               \
    "                        (--at S[,S...] --png FILE | --video FILE.mp4|.webm|.gif |\n"          \
    "                         --frames DIR)\n"

const char* renderUsage() { return RENDER_USAGE; }

std::string renderHelpText() {
    const std::string end = secondsText(kAnimationSeconds);
    std::string scene;
    for (const char* word : kScenePentagonWords)
        scene += std::string(scene.empty() ? "" : " ") + word;
    return RENDER_USAGE
           "\n"
           "Draws the geodesics program's own frames off screen, with no display, and\n"
           "writes them as pictures or video. Times are seconds of the animation (0 to\n" +
           end +
           "); frame k of a video is at FROM + k/FPS, whatever the machine's speed.\n"
           "\n"
           "  --at S[,S...]      the moments to draw, each written with --png (as many as\n"
           "                     wanted; --at may also be given again)\n"
           "  --png FILE         the picture; %t in the name becomes each time as written\n"
           "                     (needed for several times: --at 25,60 --png shot-%t.png);\n"
           "                     --png - writes one picture to standard output\n"
           "  --video FILE       the frames from --from to --to as H.264 (.mp4), VP9 (.webm)\n"
           "                     or an animated GIF (.gif), encoded by ffmpeg\n"
           "  --frames DIR       the same frames as DIR/frame-00000.png, frame-00001.png, ...;\n"
           "                     DIR is made when missing; one that holds frames is refused\n"
           "  --from S, --to S   the range of a video or frame folder (default 0 to " +
           end +
           ")\n"
           "  --fps N            frames a second (default 30; also numbers the frames)\n"
           "  --size WxH         pixels (default 720x576, the window's)\n"
           "  --samples N        multisampling for smooth edges (default 0: none, as the window)\n"
           "  --stats            the statistics line, as key t shows it\n"
           "  --wire             the wire frame, as key w shows it\n"
           "  --pentagons LAT1 LONG1 LAT2 LONG2, or --pentagons=LAT1,LONG1,LAT2,LONG2\n"
           "                     other pentagons: for each, the height of its corners (-1 to 1)\n"
           "                     and the longitude of its corner 0 (radians); default the\n"
           "                     scene's, " +
           scene +
           "\n"
           "  --help             this text\n"
           "\n"
           "Numbers are decimals (25, 0.5, 1e-3). A file appears only when complete; a\n"
           "symbolic link is written through to its target, an existing file keeps its\n"
           "permissions, and a name that is neither a file nor a link to one (a folder, a\n"
           "device, a FIFO) is refused.\n"
           "\n"
           "Exit status: 0 done, 2 bad input (nothing written), 1 a failure while writing.\n";
}
