// The start sound. The first call starts a loader thread that reads the file,
// loads SDL, decodes the clip, opens an audio device and starts it; the device
// then plays the clip from memory on SDL's own thread. Later calls only move
// the play position back to the start. The GLUT thread never opens a file,
// never loads a library and never waits for the loader, except at the quit and
// then only briefly (see windUpSound).
#include "basicsource/sound.h"

#include <SDL2/SDL.h> // types and constants only: the library is loaded on first use
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "basicsource/platform.h"

namespace {

// SDL, with the forty-odd libraries it brings along (sound servers, codecs,
// Wayland, D-Bus), is loaded when the first sound is played rather than linked:
// linked, it cost every start-up about 5 ms of CPU time and 3 MB of memory, for
// a sound that only key 'a' asks for.
struct sdlLibrary {
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_Quit) Quit;
    decltype(&SDL_SetHintWithPriority) SetHintWithPriority;
    decltype(&SDL_RWFromConstMem) RWFromConstMem;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
};

template <typename F> bool bind(void* library, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

bool loadSDL(sdlLibrary& sdl) {
    void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return lib && bind(lib, sdl.InitSubSystem, "SDL_InitSubSystem") &&
           bind(lib, sdl.Quit, "SDL_Quit") &&
           bind(lib, sdl.SetHintWithPriority, "SDL_SetHintWithPriority") &&
           bind(lib, sdl.RWFromConstMem, "SDL_RWFromConstMem") &&
           bind(lib, sdl.LoadWAV_RW, "SDL_LoadWAV_RW") && bind(lib, sdl.FreeWAV, "SDL_FreeWAV") &&
           bind(lib, sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
           bind(lib, sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
           bind(lib, sdl.PauseAudioDevice, "SDL_PauseAudioDevice") &&
           bind(lib, sdl.LockAudioDevice, "SDL_LockAudioDevice") &&
           bind(lib, sdl.UnlockAudioDevice, "SDL_UnlockAudioDevice");
}

// ALSA reports each failed probe of a machine without a sound card on standard
// error (eight lines at the first sound), through one handler for the whole
// library. Whether SDL links it or loads it itself, it is this soname: dlopen
// finds, or loads, the instance SDL uses.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return;
    using handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto setHandler = reinterpret_cast<int (*)(handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler) setHandler(ignoreAlsaError);
}

struct fileDescriptor {
    int fd;
    explicit fileDescriptor(int f) : fd(f) {}
    fileDescriptor(const fileDescriptor&) = delete;
    fileDescriptor& operator=(const fileDescriptor&) = delete;
    ~fileDescriptor() {
        if (fd >= 0) close(fd);
    }
};

// The whole file, if it is a regular file of 1 to kMaxSoundFileBytes bytes.
// O_NONBLOCK makes opening a FIFO or a device return at once rather than wait
// for a writer; reads of a regular file ignore it.
bool readSoundFile(const char* path, std::vector<Uint8>& bytes) {
    fileDescriptor file(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat about;
    if (file.fd < 0 || fstat(file.fd, &about) != 0 || !S_ISREG(about.st_mode) ||
        about.st_size <= 0 || std::size_t(about.st_size) > kMaxSoundFileBytes)
        return false;
    try {
        bytes.resize(std::size_t(about.st_size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::size_t got = 0;
    while (got < bytes.size()) { // a file that shrinks meanwhile ends early
        ssize_t n = read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += std::size_t(n);
    }
    bytes.resize(got);
    return got > 0;
}

// Closing a device waits for SDL's thread to play out the buffer in hand and
// about two more: a buffer of the largest power of two of frames within 1/32 s
// (so between 1/64 and 1/32 s) keeps that wait short.
Uint16 bufferFrames(int rate) {
    Uint16 frames = 1;
    while (frames * 2 <= rate / 32) frames = Uint16(frames * 2);
    return frames;
}

enum class phase {
    idle,          // nothing kept: never asked, or the last file was missing or refused
    readingFile,   // the loader is reading the file (it may be stuck there for ever)
    startingAudio, // the loader is in SDL: decoding, starting audio, opening the device
    playable,      // the clip is kept and the device is playing it or silence
    unavailable,   // no SDL or no audio device: never asked again
};

struct wavDeleter {
    decltype(&SDL_FreeWAV) freeWAV;
    void operator()(Uint8* samples) const { freeWAV(samples); }
};

// Shared by the GLUT thread, the loader and SDL's audio thread. It lives on the
// heap and is never freed: exit() may run while the loader is still at work.
struct soundState {
    std::mutex lock;
    std::condition_variable leftAudioStart; // the loader has left phase::startingAudio

    // Guarded by `lock`.
    phase now = phase::idle;
    bool closed = false; // wound up: nothing plays again
    std::string path;    // the file being loaded, or the clip's

    // Used by the loader alone while phase::startingAudio, and by the others
    // (under `lock`) only in the phases after it: the phase, changed under
    // `lock`, hands them over. SDL's audio thread reads the clip and `silence`,
    // set before it first runs the callback.
    sdlLibrary sdl{};
    bool sdlLoaded = false;
    bool audioStarted = false;
    SDL_AudioDeviceID device = 0;
    std::unique_ptr<Uint8, wavDeleter> clip{nullptr, wavDeleter{nullptr}};
    Uint32 clipBytes = 0;
    Uint8 silence = 0;

    // Guarded by SDL's lock of the device: the callback runs under it and a
    // restart takes it.
    Uint32 position = 0; // bytes of the clip played
};

soundState* theSound = nullptr; // made by the first playSoundFile; GLUT thread only

// SDL's audio thread, with the device locked: the rest of the clip, then silence.
void SDLCALL fillFromClip(void* userdata, Uint8* stream, int len) {
    soundState& s = *static_cast<soundState*>(userdata);
    Uint32 n = std::min(Uint32(len), s.clipBytes - s.position);
    std::memcpy(stream, s.clip.get() + s.position, n);
    std::memset(stream + n, s.silence, std::size_t(len) - n);
    s.position += n;
}

// Pausing first means SDL's thread plays nothing more; closing waits for it to
// finish the buffer in hand. Called under `lock`, outside phase::startingAudio.
void stopAudio(soundState& s) {
    if (s.device) {
        s.sdl.PauseAudioDevice(s.device, 1);
        s.sdl.CloseAudioDevice(s.device);
        s.device = 0;
    }
    if (s.audioStarted) {
        s.sdl.Quit();
        s.audioStarted = false;
    }
}

// The loader's work inside SDL; returns the phase it leads to.
phase startAudio(soundState& s, std::vector<Uint8> bytes) {
    if (!s.sdlLoaded) {
        if (!loadSDL(s.sdl)) return phase::unavailable;
        s.sdlLoaded = true;
    }
    SDL_AudioSpec format;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (!s.sdl.LoadWAV_RW(s.sdl.RWFromConstMem(bytes.data(), int(bytes.size())), 1, &format,
                          &samples, &length))
        return phase::idle;
    std::unique_ptr<Uint8, wavDeleter> clip(samples, wavDeleter{s.sdl.FreeWAV});
    bytes = std::vector<Uint8>(); // the file's bytes are not needed any more
    if (format.freq < kMinSoundRate || format.freq > kMaxSoundRate || length == 0)
        return phase::idle;

    quietAlsa();
    // SDL's own SIGINT and SIGTERM handlers would only queue a quit event that
    // nothing reads, and so swallow Ctrl+C and kill.
    s.sdl.SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    if (s.sdl.InitSubSystem(SDL_INIT_AUDIO) != 0) {
        s.sdl.Quit();
        return phase::unavailable;
    }
    s.audioStarted = true;
    s.clip = std::move(clip);
    s.clipBytes = length;
    s.position = 0;
    format.samples = bufferFrames(format.freq);
    format.callback = fillFromClip;
    format.userdata = &s;
    SDL_AudioSpec obtained;
    s.device = s.sdl.OpenAudioDevice(nullptr, 0, &format, &obtained, 0);
    if (!s.device) {
        stopAudio(s);
        s.clip.reset();
        return phase::unavailable;
    }
    // The device opens paused: the callback first runs after the unpause,
    // which takes the device's lock, so it sees `silence` set.
    s.silence = obtained.silence;
    s.sdl.PauseAudioDevice(s.device, 0);
    return phase::playable;
}

void loadAndPlay(soundState* s, std::string path) {
    pthread_setname_np(pthread_self(), "start sound"); // as ps, top and the tests see it
    std::vector<Uint8> bytes;
    bool read = readSoundFile(path.c_str(), bytes);
    std::unique_lock<std::mutex> held(s->lock);
    if (s->closed || !read) {
        s->now = phase::idle;
        return;
    }
    s->now = phase::startingAudio;
    held.unlock();
    phase next = startAudio(*s, std::move(bytes));
    held.lock();
    s->now = next;
    // Wound up meanwhile: the wind-up left the device to the loader.
    if (s->closed) stopAudio(*s);
    s->leftAudioStart.notify_all();
}

} // namespace

void playSoundFile(const char* path) {
    if (!path) return;
    if (!theSound) theSound = new (std::nothrow) soundState;
    if (!theSound) return;
    soundState& s = *theSound;
    std::lock_guard<std::mutex> held(s.lock);
    if (s.closed) return;
    if (s.now == phase::playable && s.path == path) {
        // The callback holds this lock for one buffer's copy at most.
        s.sdl.LockAudioDevice(s.device);
        s.position = 0;
        s.sdl.UnlockAudioDevice(s.device);
    } else if (s.now == phase::idle) {
        try {
            s.path = path;
            std::thread(loadAndPlay, &s, s.path).detach();
            s.now = phase::readingFile; // before the loader can look: `lock` is held
        } catch (const std::exception&) {
            // No memory or no thread to spare: no sound this time.
        }
    }
    // A call while loading adds nothing: the loader starts the clip when ready.
}

bool soundLoading() {
    if (!theSound) return false;
    std::lock_guard<std::mutex> held(theSound->lock);
    return theSound->now == phase::readingFile || theSound->now == phase::startingAudio;
}

void windUpSound() {
    if (!theSound) return;
    soundState& s = *theSound;
    std::unique_lock<std::mutex> held(s.lock);
    s.closed = true;
    // Starting SDL's audio takes tens of milliseconds (about 200 where ALSA
    // finds no card); letting it finish keeps exit() from running the audio
    // libraries' destructors under it. A loader that is reading the file
    // holds nothing of SDL's and is not waited for.
    s.leftAudioStart.wait_for(held, std::chrono::milliseconds(300),
                              [&s] { return s.now != phase::startingAudio; });
    if (s.now != phase::startingAudio) stopAudio(s);
}
