// Output written under a temporary name beside its final one and renamed into
// place only when complete, so a file with the asked-for name is always whole.
// Temporaries still pending are removed when their owner goes away, and by the
// handlers for SIGINT, SIGTERM and SIGHUP (which also end a child encoder).
#pragma once

#include <sys/types.h>

#include <string>

class pendingFile {
  public:
    // Creates the temporary file (empty). Check problem() before use.
    explicit pendingFile(const std::string& finalPath);
    pendingFile(const pendingFile&) = delete;
    pendingFile& operator=(const pendingFile&) = delete;
    ~pendingFile(); // removes the temporary unless committed

    const std::string& problem() const { return problem_; } // "" when usable
    const std::string& path() const { return temporary_; }  // where to write
    const std::string& finalPath() const { return final_; }

    // Renames the temporary to the final name; "" or what went wrong.
    std::string commit();

  private:
    std::string final_, temporary_, problem_;
    int slot_ = -1; // in the list the signal handlers clean up
};

// A path as messages quote it: whole (a cut path names no file), in quotes.
std::string quotePath(const std::string& path);

// Installs the signal handlers (once, before any pendingFile exists).
void removeTemporariesOnSignals();

// A child process the signal handlers kill before removing the temporaries
// (the encoder writing into one); 0 for none.
void setChildToStopOnSignal(pid_t pid);
