// The start sound: played in the background, restarted from the beginning on
// every call from the clip kept in memory, and harmless when the file is
// missing or refused or there is no audio device; neither a file system that
// never answers nor the quit holds up the caller. SDL's `disk` driver writes
// what the device plays to a file, which shows the samples really went out.
// Each case runs in a child process of its own, since SDL's audio state and
// driver choice are per process; a child that hangs is ended by an alarm.
#include "basicsource/sound.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "basicsource/main.h"
#include "basicsource/platform.h"

namespace {

const int kRate = 22050;
const size_t kSoundBytes = 2 * kRate; // one second, mono, 16-bit

// One second of samples that never repeat, so any stretch of them can be
// found again in what the device played.
std::vector<uint8_t> testSamples() {
    std::vector<uint8_t> bytes(kSoundBytes);
    uint32_t x = 12345;
    for (size_t i = 0; i < bytes.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = uint8_t(x >> 24);
    }
    return bytes;
}

void put32(std::ofstream& f, uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); }
void put16(std::ofstream& f, uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); }

// A mono PCM WAV file: 44 bytes of header, then the samples.
void writeWav(const std::string& path, const std::vector<uint8_t>& data, uint32_t rate = kRate,
              uint16_t bits = 16) {
    std::ofstream f(path, std::ios::binary);
    f.write("RIFF", 4);
    put32(f, uint32_t(36 + data.size()));
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1); // PCM
    put16(f, 1); // mono
    put32(f, rate);
    put32(f, rate * bits / 8);
    put16(f, bits / 8);
    put16(f, bits);
    f.write("data", 4);
    put32(f, uint32_t(data.size()));
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

long fileSize(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    return f ? long(f.tellg()) : -1;
}

// Waits for a condition that real-time playback makes true within a second or
// two; gives up after ten.
bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// Waits for the loader to finish with the file and the device.
bool loaderSettles() {
    return waitFor([] { return !soundLoading(); });
}

// Every place where `needle` occurs in `hay`.
std::vector<size_t> occurrences(const std::vector<uint8_t>& hay, const uint8_t* needle,
                                size_t n) {
    std::vector<size_t> at;
    for (size_t i = 0; i + n <= hay.size(); ++i)
        if (std::equal(needle, needle + n, hay.begin() + long(i))) at.push_back(i);
    return at;
}

// The device writes silence before and after what it was given, so a test
// waits for the samples themselves: the first n bytes of the sound, `times`
// times over, in what has been played so far.
bool waitForPlayed(const std::string& out, size_t n, size_t times) {
    const std::vector<uint8_t> sound = testSamples();
    return waitFor([&] { return occurrences(readFile(out), sound.data(), n).size() >= times; });
}

// A scratch folder with the test sound in it, and the disk driver's output.
struct scratch {
    std::string dir, wav, out;
    scratch() {
        char name[] = "/tmp/geodesics-sound-XXXXXX";
        dir = mkdtemp(name);
        wav = dir + "/sound.wav";
        out = dir + "/played.raw";
        writeWav(wav, testSamples());
    }
    ~scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    void useDiskDriver() const {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    }
};

// Runs a check in a child process: it exits 0 when the check returns no
// complaint, else prints the complaint and exits 1. The alarm ends a child
// that hangs, far later than any check waits.
void runInChild(const std::function<std::string()>& check) {
    alarm(30);
    std::string complaint = check();
    platformWindup();
    if (!complaint.empty()) {
        std::fprintf(stderr, "%s\n", complaint.c_str());
        std::exit(1);
    }
    std::exit(0);
}

// Plays `path` and expects it refused: the loader done with it, the audio not
// started and no device opened (the disk driver would have made its file).
std::string refused(const scratch& s, const std::string& path) {
    playSoundFile(path.c_str());
    if (!loaderSettles()) return "the loader is stuck on " + path;
    if (SDL_WasInit(SDL_INIT_AUDIO) || fileSize(s.out) >= 0) return "audio started for " + path;
    return std::string();
}

class Sound : public ::testing::Test {
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Variadic: a check's body may hold commas.
#define EXPECT_CHILD_OK(...) EXPECT_EXIT(runInChild(__VA_ARGS__), ::testing::ExitedWithCode(0), "")

} // namespace

TEST_F(Sound, PlaysTheWholeFileInTheBackground) {
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        playSoundFile(s.wav.c_str());
        // Back at once: a second of sound has not been played yet.
        if (fileSize(s.out) >= long(kSoundBytes)) return std::string("played before returning");
        if (!waitForPlayed(s.out, kSoundBytes, 1)) return std::string("the device did not play");
        platformWindup(); // closes the device and its file
        auto played = readFile(s.out);
        auto sound = testSamples();
        auto at = occurrences(played, sound.data(), sound.size());
        if (at.size() != 1) return "whole sound found " + std::to_string(at.size()) + " times";
        return std::string();
    });
}

// The clip is read once and kept: a restart no longer needs the file.
TEST_F(Sound, EveryCallRestartsTheKeptClipFromTheBeginning) {
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        playSoundFile(s.wav.c_str());
        if (!waitForPlayed(s.out, 4096, 1)) return std::string("the device did not play");
        std::remove(s.wav.c_str());
        playSoundFile(s.wav.c_str()); // before the first one has ended
        if (!waitForPlayed(s.out, kSoundBytes, 1))
            return std::string("the restarted sound did not play whole");
        platformWindup();
        auto played = readFile(s.out);
        auto sound = testSamples();
        // The opening of the sound twice; the second time it plays to its end.
        auto starts = occurrences(played, sound.data(), 4096);
        if (starts.size() != 2) return "sound started " + std::to_string(starts.size()) + " times";
        if (occurrences(played, sound.data(), sound.size()) != std::vector<size_t>{starts[1]})
            return std::string("the restarted sound did not play whole");
        return std::string();
    });
}

// Only a regular file of at most kMaxSoundFileBytes is read; a FIFO would
// block a reader for ever. After a refusal the next file still plays.
TEST_F(Sound, RefusesWhatIsNotAShortRegularFile) {
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        const std::string fifo = s.dir + "/fifo.wav", folder = s.dir + "/folder.wav",
                          big = s.dir + "/big.wav", junk = s.dir + "/junk.wav";
        if (mkfifo(fifo.c_str(), 0600) != 0 || mkdir(folder.c_str(), 0700) != 0)
            return std::string("no FIFO or folder");
        // 8-bit samples, so that any size makes a valid WAV: one byte too many.
        writeWav(big, std::vector<uint8_t>(kMaxSoundFileBytes - 44 + 1, 128), kRate, 8);
        std::ofstream(junk) << "not a WAV file";
        for (const std::string& path : {s.dir + "/missing.wav", fifo, folder, big, junk}) {
            std::string complaint = refused(s, path);
            if (!complaint.empty()) return complaint;
        }
        // Exactly the limit, starting with the test samples.
        std::vector<uint8_t> largest = testSamples();
        largest.resize(kMaxSoundFileBytes - 44, 128);
        writeWav(big, largest, kRate, 8);
        playSoundFile(big.c_str());
        if (!waitForPlayed(s.out, 4096, 1)) return std::string("the largest file did not play");
        return std::string();
    });
}

// A device running at a few hertz would hold up the quit for minutes.
TEST_F(Sound, RefusesSampleRatesNoClipUses) {
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        for (int rate : {kMinSoundRate - 1, kMaxSoundRate + 1, 100, 1}) {
            const std::string path = s.dir + "/" + std::to_string(rate) + ".wav";
            writeWav(path, testSamples(), uint32_t(rate));
            std::string complaint = refused(s, path);
            if (!complaint.empty()) return complaint;
        }
        writeWav(s.wav, testSamples(), kMinSoundRate);
        playSoundFile(s.wav.c_str());
        if (!waitForPlayed(s.out, 4096, 1)) return std::string("the lowest rate did not play");
        return std::string();
    });
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        writeWav(s.wav, testSamples(), kMaxSoundRate);
        playSoundFile(s.wav.c_str());
        if (!waitForPlayed(s.out, 4096, 1)) return std::string("the highest rate did not play");
        return std::string();
    });
}

TEST_F(Sound, NoAudioDeviceCostsNothing) {
    EXPECT_CHILD_OK([] {
        scratch s;
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        playSoundFile(s.wav.c_str());
        if (!loaderSettles()) return std::string("the loader did not finish");
        if (SDL_WasInit(SDL_INIT_AUDIO)) return std::string("audio claims to be running");
        // Once the audio has failed it is not asked again.
        playSoundFile(s.wav.c_str());
        if (soundLoading()) return std::string("the audio was tried again");
        return std::string();
    });
    // The dummy driver: a device that plays into nothing, as on a headless machine.
    EXPECT_CHILD_OK([] {
        scratch s;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        playSoundFile(s.wav.c_str());
        if (!loaderSettles() || !SDL_WasInit(SDL_INIT_AUDIO))
            return std::string("dummy audio not started");
        playSoundFile(s.wav.c_str());
        platformWindup();
        if (SDL_WasInit(SDL_INIT_AUDIO)) return std::string("audio still running after wind-up");
        playSoundFile(s.wav.c_str());
        if (soundLoading() || SDL_WasInit(SDL_INIT_AUDIO))
            return std::string("a sound after the wind-up");
        return std::string();
    });
}

// A file system that never answers, like a hung network mount: opening a path
// under /stalled-mount/ blocks for ever. The sound module's calls to open()
// bind to this definition in the test executable; it hands every other path
// on to the C library's.
extern "C" int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    if (std::strncmp(path, "/stalled-mount/", 15) == 0)
        for (;;) pause();
    using openFunction = int (*)(const char*, int, ...);
    static const openFunction next = reinterpret_cast<openFunction>(dlsym(RTLD_NEXT, "open"));
    return next(path, flags, mode);
}

// The loader may be stuck in the file system for good: neither another press
// nor the quit waits for it.
TEST_F(Sound, AStuckLoaderHoldsUpNeitherKeyANorTheQuit) {
    EXPECT_CHILD_OK([] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        playSoundFile("/stalled-mount/start.wav");
        playSoundFile("/stalled-mount/start.wav");
        if (!soundLoading()) return std::string("the loader is not in the file system");
        platformWindup();
        return std::string();
    });
}

// Key 'a' plays "resources/vorsandi_02.wav" from the working directory, when
// the `sounds` switch is on.
TEST_F(Sound, KeyAPlaysTheStartSoundFromTheWorkingDirectory) {
    EXPECT_CHILD_OK([] {
        scratch s;
        s.useDiskDriver();
        std::string resources = s.dir + "/resources";
        if (mkdir(resources.c_str(), 0700) != 0 || chdir(s.dir.c_str()) != 0)
            return std::string("no scratch folder");
        writeWav(resources + "/vorsandi_02.wav", testSamples());

        sounds = 0;
        KeyPress('a', 0, 0);
        if (soundLoading() || SDL_WasInit(SDL_INIT_AUDIO))
            return std::string("sound played with sounds = 0");

        sounds = 1;
        KeyPress('a', 0, 0);
        if (gProgramMode != kpmAnimating) return std::string("the animation did not start");
        if (!waitForPlayed(s.out, 4096, 1)) return std::string("no start sound after key a");
        return std::string();
    });
}

// The shipped start sound: a short, soft tone SDL can load.
TEST(StartSoundFile, IsAShortMonoWavThatStartsAndEndsInSilence) {
    const std::string path = std::string(GEODESICS_SOURCE_DIR) + "/resources/vorsandi_02.wav";
    EXPECT_LT(fileSize(path), 100 * 1024);
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    ASSERT_NE(SDL_LoadWAV(path.c_str(), &format, &buffer, &length), nullptr) << SDL_GetError();
    EXPECT_EQ(format.freq, 22050);
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.format, AUDIO_S16LSB);
    const int16_t* samples = reinterpret_cast<const int16_t*>(buffer);
    const size_t count = length / 2;
    EXPECT_GE(count, size_t(22050 / 2));
    EXPECT_LE(count, size_t(22050 * 2));
    int peak = 0;
    for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    EXPECT_GT(peak, 32767 / 4);  // audible
    EXPECT_LT(peak, 32767);      // not clipped
    // A soft envelope: no click at either end.
    EXPECT_LT(std::abs(int(samples[0])), 300);
    EXPECT_LT(std::abs(int(samples[count - 1])), 300);
    SDL_FreeWAV(buffer);
}
