// Frame benchmark: the scene built as the program builds it, in a real 720x576
// GLUT window, drawn at fixed animation times across the animation. For each time
// it measures, side by side in the same run, the process CPU time of a frame
// (CLOCK_PROCESS_CPUTIME_ID, which includes llvmpipe's rendering threads) for
// the full scene, for each object alone and for the floor (an empty clear and
// swap in the same window), and prints each as a ratio to the floor. It also
// counts heap allocations made during steady-state frames.
//
//   frame_bench [--rounds R] [--frames N]   the measurements (defaults 7, 60)
//   frame_bench --callgrind-frames N         N full frames, cycling through the
//                                            times, nothing measured (for a run
//                                            under callgrind; compare two N)
#include <GL/freeglut.h>
#include <execinfo.h>
#include <link.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "mathematics/decimal_words.h"
#include "mathematics/option_words.h"
#include "tests/harness/test_clock.h"

// --- Heap allocation counter ---------------------------------------------------
// malloc and its relatives, and operator new, are replaced in this executable
// and forward to the C library. While counting is on, every call is counted,
// and counted as the project's own when, walking up its call stack past the C
// and C++ runtime libraries, the first caller is this executable (the
// project's code is linked into it statically). An allocation that Mesa, GLUT
// or X make on the project's behalf is theirs, not the project's.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
extern char __executable_start;
extern char etext;
// Bounds of the section that holds the replacements themselves.
extern char __start_alloc_counter;
extern char __stop_alloc_counter;
}
#define ALLOC_COUNTER __attribute__((section("alloc_counter"), noinline))

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};    // every allocation in the process while counting
std::atomic<long> ownAllocations{0}; // those made by the project's code
thread_local bool inCounter = false;

// Code ranges of the runtime libraries, looked through on the way up a stack.
struct codeRange {
    uintptr_t begin, end;
};
codeRange runtimeCode[32];
int runtimeRanges = 0;

void findRuntimeLibraries() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name ? info->dlpi_name : "";
            static const char* const kRuntime[] = {"/libc.so", "/libstdc++.so", "/libgcc_s.so",
                                                   "/libm.so", "/ld-linux"};
            bool runtime = false;
            for (const char* r : kRuntime) runtime = runtime || std::strstr(name, r);
            if (!runtime) return 0;
            for (int i = 0; i < info->dlpi_phnum && runtimeRanges < 32; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_LOAD || !(ph.p_flags & PF_X)) continue;
                uintptr_t b = info->dlpi_addr + ph.p_vaddr;
                runtimeCode[runtimeRanges++] = {b, b + ph.p_memsz};
            }
            return 0;
        },
        nullptr);
    void* frames[4];
    backtrace(frames, 4); // loads the unwinder now, not inside a counted call
}

bool inRange(void* p, const void* begin, const void* end) { return p >= begin && p < end; }

ALLOC_COUNTER bool madeByProject() {
    void* frames[48];
    int n = backtrace(frames, 48);
    for (int i = 0; i < n; ++i) {
        void* pc = frames[i];
        if (inRange(pc, &__start_alloc_counter, &__stop_alloc_counter)) continue;
        if (inRange(pc, &__executable_start, &etext)) return true;
        bool runtime = false;
        for (int r = 0; r < runtimeRanges && !runtime; ++r)
            runtime = uintptr_t(pc) >= runtimeCode[r].begin && uintptr_t(pc) < runtimeCode[r].end;
        if (!runtime) return false; // Mesa, GLUT, X, LLVM: not the project's
    }
    return false;
}

ALLOC_COUNTER void countCall() {
    if (!counting.load(std::memory_order_relaxed) || inCounter) return;
    inCounter = true;
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (madeByProject()) ownAllocations.fetch_add(1, std::memory_order_relaxed);
    inCounter = false;
}
} // namespace

extern "C" {
ALLOC_COUNTER void* malloc(size_t n) {
    countCall();
    return __libc_malloc(n);
}
ALLOC_COUNTER void* calloc(size_t n, size_t size) {
    countCall();
    return __libc_calloc(n, size);
}
ALLOC_COUNTER void* realloc(void* p, size_t n) {
    countCall();
    return __libc_realloc(p, n);
}
ALLOC_COUNTER void* memalign(size_t alignment, size_t n) {
    countCall();
    return __libc_memalign(alignment, n);
}
ALLOC_COUNTER void* aligned_alloc(size_t alignment, size_t n) {
    countCall();
    return __libc_memalign(alignment, n);
}
ALLOC_COUNTER int posix_memalign(void** out, size_t alignment, size_t n) {
    countCall();
    void* p = __libc_memalign(alignment, n);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}

ALLOC_COUNTER void* operator new(size_t n) {
    countCall();
    void* p = __libc_malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
ALLOC_COUNTER void* operator new[](size_t n) {
    countCall();
    void* p = __libc_malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
ALLOC_COUNTER void* operator new(size_t n, const std::nothrow_t&) noexcept {
    countCall();
    return __libc_malloc(n ? n : 1);
}
ALLOC_COUNTER void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    countCall();
    return __libc_malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

// --- The scene and the frames --------------------------------------------------

namespace {

const double kTimes[] = {0, 12.5, 25, 60, 90, 140}; // seconds of animation time
const int kTimeCount = sizeof kTimes / sizeof kTimes[0];
bool reshaped = false;

double cpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}
double wallSeconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

void onReshape(int w, int h) {
    ResizeWindow(w, h);
    reshaped = true;
}

// CPU time at the end of each start-up phase, from the process's start.
struct startupPhases {
    double loaded, window, scene, firstFrame, secondFrame;
} startup;

// The program's start-up (basicsource/main.cpp), with the display callback left
// empty so that only the frames drawn here are drawn.
void openWindowAndBuildScene(int* argc, char** argv) {
    startup.loaded = cpuSeconds();
    gWindowWidth = kWindowWidth;
    gWindowHeight = kWindowHeight;
    glutInit(argc, argv);
    glutInitWindowSize(gWindowWidth, gWindowHeight);
    glutInitWindowPosition(100, 100);
    glutInitDisplayString("double rgb depth>=16");
    glutCreateWindow("Geodesics frame benchmark");
    glutDisplayFunc([] {});
    glutReshapeFunc(onReshape);
    startup.window = cpuSeconds();
    setTestTickCount(0);
    ConstructScene();
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
    startup.scene = cpuSeconds();
    while (!reshaped) glutMainLoopEvent(); // mapped, and the projection set
    ViewScene();
    glFinish();
    startup.firstFrame = cpuSeconds();
    ViewScene();
    glFinish();
    startup.secondFrame = cpuSeconds();
}

// The scene as the idle tick leaves it at animation time t.
void advanceTo(double t) {
    gProgramMode = kpmAnimating;
    setAnimationSeconds(t);
    AnimateScene();
    gProgramMode = kpmAnimating; // stay in the animation even at its last second
}

void emptyFrame() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

struct variant {
    const char* name;
    std::vector<object3D*> shapes; // what shapeVector holds; empty: the floor
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU and wall time of one frame of a variant, averaged over `frames` frames.
void timeFrames(const variant& v, int frames, double* cpu, double* wall) {
    for (int i = 0; i < 3; ++i) v.shapes.empty() ? emptyFrame() : ViewScene(); // warm
    glFinish();
    double c0 = cpuSeconds(), w0 = wallSeconds();
    for (int i = 0; i < frames; ++i) v.shapes.empty() ? emptyFrame() : ViewScene();
    glFinish();
    *cpu = (cpuSeconds() - c0) / frames;
    *wall = (wallSeconds() - w0) / frames;
}

void measure(int rounds, int frames) {
    std::vector<object3D*> all = shapeVector;
    // clang-format off
    std::vector<variant> variants = {
        {"floor (clear + swap)", {}},
        {"full scene", all},
        {"sphere alone", {sph1}},
        {"figure alone", {tholix1}},
        {"cylinder alone", {cyl1}},
    };
    // clang-format on
    std::printf("CPU time per frame (CLOCK_PROCESS_CPUTIME_ID, ms; median of %d rounds of %d "
                "frames, variants interleaved), ratio to the floor in brackets;\n"
                "wall time of the full scene alongside.\n\n",
                rounds, frames);
    std::printf("%8s", "time/s");
    for (const variant& v : variants) std::printf(" %22s", v.name);
    std::printf(" %14s\n", "full, wall ms");

    std::vector<double> fullRatios;
    for (double t : kTimes) {
        advanceTo(t);
        std::vector<std::vector<double>> cpu(variants.size()), wall(variants.size());
        for (int r = 0; r < rounds; ++r) {
            for (size_t k = 0; k < variants.size(); ++k) {
                shapeVector = variants[k].shapes;
                double c, w;
                timeFrames(variants[k], frames, &c, &w);
                cpu[k].push_back(c);
                wall[k].push_back(w);
            }
        }
        shapeVector = all;
        double floorCpu = median(cpu[0]);
        std::printf("%8.1f", t);
        for (size_t k = 0; k < variants.size(); ++k) {
            double m = median(cpu[k]);
            std::printf("        %6.3f (%5.2fx)", m * 1e3, m / floorCpu);
        }
        std::printf(" %14.3f\n", median(wall[1]) * 1e3);
        fullRatios.push_back(median(cpu[1]) / floorCpu);
    }
    std::printf("\nfull scene over the animation: %.2f to %.2f times the floor\n",
                *std::min_element(fullRatios.begin(), fullRatios.end()),
                *std::max_element(fullRatios.begin(), fullRatios.end()));
}

// Heap allocations while drawing steady-state frames of the full scene at each
// time (after warm-up frames), with the text overlay off as at start and on.
void countAllocations(int frames) {
    std::printf("\nHeap allocations in %d steady-state frames of the full scene "
                "(project code / all, including Mesa and X):\n",
                frames);
    long ownTotal = 0;
    for (bool text : {false, true}) {
        gTextOn = text;
        std::printf("  text overlay %-3s:", text ? "on" : "off");
        for (double t : kTimes) {
            advanceTo(t);
            for (int i = 0; i < 5; ++i) ViewScene();
            allocations = 0;
            ownAllocations = 0;
            counting = true;
            for (int i = 0; i < frames; ++i) ViewScene();
            counting = false;
            std::printf("  %gs: %ld/%ld", t, ownAllocations.load(), allocations.load());
            ownTotal += ownAllocations.load();
        }
        std::printf("\n");
    }
    gTextOn = false;
    std::printf("project allocations per frame: %.2f\n",
                double(ownTotal) / (2.0 * kTimeCount * frames));
}

// Nothing is counted here: the stack walks would add to the instructions.
void callgrindFrames(int n) {
    for (int i = 0; i < n; ++i) {
        advanceTo(kTimes[i % kTimeCount]);
        ViewScene();
    }
    std::printf("%d frames drawn\n", n);
}

// A count on the command line: a whole decimal from 1 to a million, read as
// every front end reads numbers (mathematics/decimal_words).
bool readCount(const std::string& word, int& count) {
    double v = 0;
    if (!readDecimal(word.c_str(), v) || v < 1 || v > 1e6 || v != std::floor(v)) return false;
    count = int(v);
    return true;
}

// --rounds, --frames and --callgrind-frames; false for anything else.
bool readOptions(int argc, char** argv, int& rounds, int& frames, int& callgrind) {
    for (int i = 1; i < argc; ++i) {
        std::string value, problem;
        int* count = optionValue("--rounds", argc, argv, i, value, problem)             ? &rounds
                     : optionValue("--frames", argc, argv, i, value, problem)           ? &frames
                     : optionValue("--callgrind-frames", argc, argv, i, value, problem) ? &callgrind
                                                                                        : nullptr;
        if (!count || !problem.empty() || !readCount(value, *count)) return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    int rounds = 7, frames = 60, callgrind = 0;
    sounds = 0;
    findRuntimeLibraries();
    openWindowAndBuildScene(&argc, argv);
    if (!readOptions(argc, argv, rounds, frames, callgrind)) {
        std::fprintf(stderr, "usage: %s [--rounds R] [--frames N] | --callgrind-frames N\n",
                     argv[0]);
        return 2;
    }
    if (callgrind > 0) {
        callgrindFrames(callgrind);
        return 0;
    }
    if (rounds < 1 || frames < 1) return 2;

    std::printf("Window %dx%d, %s, OpenGL %s\n\n", gWindowWidth, gWindowHeight,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    std::printf("Start-up, CPU ms: libraries loaded %.1f, GLUT window %.1f, scene built %.1f "
                "(ConstructScene + InitScene), first frame %.1f, second frame %.1f\n\n",
                startup.loaded * 1e3, (startup.window - startup.loaded) * 1e3,
                (startup.scene - startup.window) * 1e3, (startup.firstFrame - startup.scene) * 1e3,
                (startup.secondFrame - startup.firstFrame) * 1e3);
    measure(rounds, frames);
    countAllocations(frames);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak resident memory after all frames: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
