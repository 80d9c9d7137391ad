// Output written under a temporary name beside its final one and renamed into
// place only when complete, so a file with the asked-for name is always whole.
// A name that is a symbolic link is written through (the temporary goes beside
// the link's target and replaces it), and an existing file keeps its
// permission bits. Temporaries still pending are removed when their owner goes
// away, when SIGINT, SIGTERM or SIGHUP ends the process (after a child encoder
// is stopped), when it crashes, and by removePendingFiles().
#pragma once

#include <sys/types.h>

#include <string>

class pendingFile {
  public:
    // Checks the name and creates the temporary (empty, a short unique name in
    // the target's folder). A name that exists and is neither a regular file
    // nor a link to one (a folder, a device, a FIFO, a socket) is refused.
    // Check problem() before use.
    explicit pendingFile(const std::string& name);
    pendingFile(const pendingFile&) = delete;
    pendingFile& operator=(const pendingFile&) = delete;
    ~pendingFile(); // removes the temporary unless committed

    const std::string& problem() const { return problem_; } // "" when usable
    const std::string& path() const { return temporary_; }  // where to write
    const std::string& finalPath() const { return name_; }  // as given, for messages

    // Renames the temporary over the target; "" or what went wrong.
    std::string commit();

  private:
    std::string name_, target_, temporary_, problem_;
};

// A path as messages quote it: whole (a cut path names no file), in quotes.
std::string quotePath(const std::string& path);

// Makes SIGINT, SIGTERM and SIGHUP remove the pending temporaries and then end
// the process as the signal would have; a signal ignored when the process
// started (nohup, a shell's background job) stays ignored. Call once, before
// any other thread starts: the signals are blocked in every thread and taken
// by a thread of its own. A crash (SIGSEGV, SIGABRT, ...) removes them too.
// Returns "" or what went wrong.
std::string removeTemporariesOnSignals();

// A child process stopped before the temporaries are removed (the encoder
// writing into one); 0 for none.
void setChildToStopOnSignal(pid_t pid);

// Stops that child and removes every pending temporary, for a process about to
// end without unwinding its stack.
void removePendingFiles();
