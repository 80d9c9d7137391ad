#include "tools/render/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace {
// The temporaries not yet renamed or removed. Whoever cleans up for a signal
// keeps the lock until the process ends, so nothing is renamed into place
// after. Never destroyed: a signal may come while static objects are.
std::mutex registryLock;
std::set<std::string>& pending = *new std::set<std::string>;
std::atomic<pid_t> child{0};

// The permissions a new file gets, read before main while no thread could
// create a file under the changed mask.
const mode_t kNewFileMode = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}();

// Called with registryLock held. ffmpeg is gone before the files are: killed
// while it opens its output, it could otherwise create the temporary again
// after it was removed. It is left for the encoder to reap.
void cleanUp() {
    const pid_t p = child.load();
    if (p > 0 && kill(p, SIGKILL) == 0) {
        siginfo_t info;
        while (waitid(P_PID, id_t(p), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {}
    }
    for (const std::string& path : pending) unlink(path.c_str());
    pending.clear();
}

// A crash (in the driver, say, when memory runs out) still removes the
// temporaries when it can do so safely: unless someone holds the lock, the
// list is read, not changed, and unlink is safe in a handler. The handler
// that was there before (AddressSanitizer's) then reports the crash, or the
// signal's default action ends the process when the handler returns.
const int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
struct sigaction beforeCrash[std::size(kCrashSignals)];

void onCrash(int sig, siginfo_t* info, void* context) {
    if (registryLock.try_lock())
        for (const std::string& path : pending) unlink(path.c_str());
    for (size_t k = 0; k < std::size(kCrashSignals); ++k) {
        if (kCrashSignals[k] != sig) continue;
        const struct sigaction& before = beforeCrash[k];
        if (before.sa_flags & SA_SIGINFO)
            before.sa_sigaction(sig, info, context);
        else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN)
            before.sa_handler(sig);
        else
            signal(sig, SIG_DFL);
    }
}

// The folder part of a path, with its slash; "" for a name in the current folder.
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The name a chain of symbolic links ends at: the file they point to, or the
// name the last link gives when nothing is there yet.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char to[4096];
        const ssize_t n = readlink(path.c_str(), to, sizeof to);
        if (n <= 0 || size_t(n) == sizeof to) return path;
        const std::string link(to, size_t(n));
        path = link[0] == '/' ? link : folderOf(path) + link;
    }
    return path; // a loop: creating the temporary beside it says so
}
} // namespace

std::string quotePath(const std::string& path) { return "'" + path + "'"; }

std::string removeTemporariesOnSignals() {
    struct sigaction crash {};
    crash.sa_sigaction = onCrash;
    crash.sa_flags = SA_SIGINFO;
    sigemptyset(&crash.sa_mask);
    for (size_t k = 0; k < std::size(kCrashSignals); ++k)
        sigaction(kCrashSignals[k], &crash, &beforeCrash[k]);

    sigset_t caught;
    sigemptyset(&caught);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction now {};
        if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)
            sigaddset(&caught, sig);
    }
    // Threads started later (the encoder's writer, the driver's) inherit the
    // mask, so only the thread below takes these signals; being no handler,
    // it may wait for the lock like any other code.
    if (sigisemptyset(&caught)) return "";
    pthread_sigmask(SIG_BLOCK, &caught, nullptr);
    try {
        std::thread([caught] {
            int sig = 0;
            while (sigwait(&caught, &sig) != 0) {}
            registryLock.lock();
            cleanUp();
            signal(sig, SIG_DFL);
            sigset_t only;
            sigemptyset(&only);
            sigaddset(&only, sig);
            pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
            raise(sig);
            _exit(128 + sig); // not reached: the signal ends the process
        }).detach();
    } catch (const std::system_error& e) {
        return std::string("cannot start a thread: ") + e.what();
    }
    return "";
}

void setChildToStopOnSignal(pid_t pid) { child.store(pid); }

void removePendingFiles() {
    std::lock_guard<std::mutex> lock(registryLock);
    cleanUp();
}

pendingFile::pendingFile(const std::string& name) : name_(name) {
    const std::string cannot = "cannot write " + quotePath(name) + ": ";
    if (name.empty() || name.back() == '/') {
        problem_ = cannot + "not a file name";
        return;
    }
    struct stat st;
    const bool exists = stat(name.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        problem_ = cannot + std::strerror(errno);
        return;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        problem_ = cannot + (S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
        return;
    }
    target_ = followLinks(name);

    // A short name of its own, so that a name as long as the file system
    // takes still has room for its temporary.
    std::string temporary = folderOf(target_) + ".geodesics-XXXXXX";
    std::lock_guard<std::mutex> lock(registryLock);
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        problem_ = cannot + std::strerror(errno);
        return;
    }
    temporary_ = temporary;
    pending.insert(temporary_);
    // mkostemp makes the file private: it gets the mode of the file it will
    // replace, or a new file's.
    if (fchmod(fd, exists ? st.st_mode & 07777 : kNewFileMode) != 0)
        problem_ = cannot + std::strerror(errno);
    if (exists && (st.st_uid != geteuid() || st.st_gid != getegid()) &&
        fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only root may give the file back to its owner; anyone else's copy
        // is their own, as with any editor.
    }
    close(fd);
}

std::string pendingFile::commit() {
    if (temporary_.empty() || !problem_.empty()) return problem_;
    std::lock_guard<std::mutex> lock(registryLock);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        return "cannot write " + quotePath(name_) + ": " + std::strerror(errno);
    pending.erase(temporary_);
    temporary_.clear();
    return "";
}

pendingFile::~pendingFile() {
    if (temporary_.empty()) return;
    std::lock_guard<std::mutex> lock(registryLock);
    if (pending.erase(temporary_) > 0) unlink(temporary_.c_str());
}
