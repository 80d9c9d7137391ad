#include "tools/render/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Paths the handlers may have to remove: fixed storage, since a handler may
// neither allocate nor take locks. A slot is live while its flag is set.
const int kSlots = 64;
const size_t kPathMax = 4096;
char slotPaths[kSlots][kPathMax];
std::atomic<bool> slotLive[kSlots];
std::atomic<pid_t> child{0};

int claimSlot(const std::string& path) {
    if (path.size() >= kPathMax) return -1;
    for (int k = 0; k < kSlots; ++k) {
        if (slotLive[k].load()) continue;
        std::memcpy(slotPaths[k], path.c_str(), path.size() + 1);
        slotLive[k].store(true);
        return k;
    }
    return -1;
}

void onSignal(int sig) {
    const pid_t p = child.load();
    if (p > 0) kill(p, SIGKILL);
    for (int k = 0; k < kSlots; ++k)
        if (slotLive[k].load()) unlink(slotPaths[k]);
    // End as the signal would have ended the process.
    signal(sig, SIG_DFL);
    raise(sig);
}

std::string temporaryNameFor(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return dir + "." + base + "." + std::to_string(getpid()) + ".partial";
}
} // namespace

std::string quotePath(const std::string& path) { return "'" + path + "'"; }

void removeTemporariesOnSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

void setChildToStopOnSignal(pid_t pid) { child.store(pid); }

pendingFile::pendingFile(const std::string& finalPath)
    : final_(finalPath), temporary_(temporaryNameFor(finalPath)) {
    if (finalPath.empty() || finalPath.back() == '/') {
        problem_ = "cannot write " + quotePath(finalPath) + ": not a file name";
        return;
    }
    slot_ = claimSlot(temporary_);
    if (slot_ < 0) {
        problem_ = "cannot write " + quotePath(finalPath) + ": name too long or too many files";
        return;
    }
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        problem_ = "cannot write " + quotePath(finalPath) + ": " + std::strerror(errno);
        slotLive[slot_].store(false);
        slot_ = -1;
        return;
    }
    ::close(fd);
}

std::string pendingFile::commit() {
    if (slot_ < 0) return problem_;
    if (std::rename(temporary_.c_str(), final_.c_str()) != 0)
        return "cannot write " + quotePath(final_) + ": " + std::strerror(errno);
    slotLive[slot_].store(false);
    slot_ = -1;
    return "";
}

pendingFile::~pendingFile() {
    if (slot_ < 0) return;
    unlink(temporary_.c_str());
    slotLive[slot_].store(false);
}
