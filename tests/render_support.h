// Test support for geodesics-render: running the built tool the way a person
// does (its own process, DISPLAY unset) and reading the PNG pictures it writes.
#pragma once

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

struct renderRun {
    int status = -1;    // exit status, or -1 when it did not exit normally
    std::string errors; // its standard error
};

// Runs GEODESICS_RENDER with `args`, with no X display in its environment.
inline renderRun runRender(const std::vector<std::string>& args) {
    std::vector<std::string> words = {GEODESICS_RENDER};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.push_back(*e);
    env.push_back(nullptr);

    char errName[] = "/tmp/geodesics-render-test-XXXXXX";
    const int errFd = mkstemp(errName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    pid_t pid = 0;
    renderRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(errFd);
    std::ifstream in(errName);
    std::stringstream text;
    text << in.rdbuf();
    run.errors = text.str();
    unlink(errName);
    return run;
}

// A picture as RGB bytes, rows from the top.
struct picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    const uint8_t* at(int x, int y) const { return &pixels[3 * (size_t(y) * width + x)]; }
};

// Reads an 8-bit RGB PNG; an empty picture when it cannot.
inline picture readPng(const std::string& path) {
    picture p;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    p.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        p.pixels.clear();
        return p;
    }
    p.width = int(image.width);
    p.height = int(image.height);
    return p;
}

// A scratch folder for one test, removed with everything in it.
class scratchDir {
  public:
    scratchDir() {
        char name[] = "/tmp/geodesics-render-test-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    ~scratchDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};
