// The start sound: the WAV file is loaded and queued on an SDL audio device, whose
// own thread plays it; SDL itself is loaded when the first sound plays.
#include "basicsource/sound.h"

#include <SDL2/SDL.h> // types and constants only: the library is loaded on first use
#include <dlfcn.h>

#include <cstdio>

#include "basicsource/platform.h"

// SDL, with the forty-odd libraries it brings along (sound servers, codecs,
// Wayland, D-Bus), is loaded when the first sound is played rather than linked:
// linked, it cost every start-up about 5 ms of CPU time and 3 MB of memory, for
// a sound that only key 'a' asks for.
namespace {
struct sdlLibrary {
    decltype(&SDL_WasInit) WasInit;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_Quit) Quit;
    decltype(&SDL_SetHintWithPriority) SetHintWithPriority;
    decltype(&SDL_RWFromFile) RWFromFile;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio;
    decltype(&SDL_QueueAudio) QueueAudio;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
};
sdlLibrary sdl;
enum { sdlNotTried, sdlLoaded, sdlMissing } sdlState = sdlNotTried;

template <typename F> bool bind(void* library, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

// SDL's functions, or null when the library cannot be loaded (then no sound).
const sdlLibrary* loadSDL() {
    if (sdlState == sdlNotTried) {
        sdlState = sdlMissing;
        void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (lib && bind(lib, sdl.WasInit, "SDL_WasInit") &&
            bind(lib, sdl.InitSubSystem, "SDL_InitSubSystem") && bind(lib, sdl.Quit, "SDL_Quit") &&
            bind(lib, sdl.SetHintWithPriority, "SDL_SetHintWithPriority") &&
            bind(lib, sdl.RWFromFile, "SDL_RWFromFile") &&
            bind(lib, sdl.LoadWAV_RW, "SDL_LoadWAV_RW") && bind(lib, sdl.FreeWAV, "SDL_FreeWAV") &&
            bind(lib, sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
            bind(lib, sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
            bind(lib, sdl.ClearQueuedAudio, "SDL_ClearQueuedAudio") &&
            bind(lib, sdl.QueueAudio, "SDL_QueueAudio") &&
            bind(lib, sdl.PauseAudioDevice, "SDL_PauseAudioDevice"))
            sdlState = sdlLoaded;
    }
    return sdlState == sdlLoaded ? &sdl : nullptr;
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

// Audio started with SDL's own SIGINT and SIGTERM handlers would only queue a
// quit event that nothing reads, and so swallow Ctrl+C and kill.
bool startAudio(const sdlLibrary& sdl) {
    quietAlsa();
    sdl.SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    return sdl.InitSubSystem(SDL_INIT_AUDIO) == 0;
}
} // namespace

// The start sound plays through SDL's audio queue: the samples are queued on an
// audio device and played by SDL's own thread, so the call returns at once. The
// device stays open between sounds; a restart empties its queue and queues the
// sound again, which costs no device reopening (and no wait for SDL's thread).
// No file or no audio device simply means no sound, and once the device has
// failed it is not asked again.
namespace {
SDL_AudioDeviceID soundDevice = 0;
SDL_AudioSpec deviceFormat; // the format soundDevice was opened for
bool soundUnavailable = false;

bool sameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}
} // namespace

void playSoundFile(const char* path) {
    if (soundUnavailable) return;
    // The file first: a missing file costs neither loading SDL nor starting audio.
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return;
    std::fclose(f);
    const sdlLibrary* lib = loadSDL();
    if (!lib) {
        soundUnavailable = true;
        return;
    }
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!lib->LoadWAV_RW(lib->RWFromFile(path, "rb"), 1, &format, &buffer, &length)) return;
    if (!lib->WasInit(SDL_INIT_AUDIO) && !startAudio(*lib)) {
        soundUnavailable = true;
        lib->FreeWAV(buffer);
        return;
    }
    if (soundDevice && !sameFormat(format, deviceFormat)) {
        lib->CloseAudioDevice(soundDevice);
        soundDevice = 0;
    }
    if (!soundDevice) {
        soundDevice = lib->OpenAudioDevice(nullptr, 0, &format, nullptr, 0);
        if (!soundDevice) {
            soundUnavailable = true;
            lib->FreeWAV(buffer);
            return;
        }
        deviceFormat = format;
    }
    lib->ClearQueuedAudio(soundDevice);
    lib->QueueAudio(soundDevice, buffer, length);
    lib->PauseAudioDevice(soundDevice, 0);
    lib->FreeWAV(buffer);
}

void windUpSound() {
    if (sdlState == sdlLoaded && sdl.WasInit(SDL_INIT_AUDIO)) sdl.Quit();
}
