#include "tools/render/core_output.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tools/render/output_file.h"

namespace {
const char* programName = "";
int coreOutput = -1;
bool endedByRenderer = false;

// The core called exit(): its message is the last line it printed.
void onExitFromCore() {
    if (endedByRenderer) return;
    std::fflush(stdout);
    char text[1024];
    ssize_t n = 0;
    struct stat st;
    if (coreOutput >= 0 && fstat(coreOutput, &st) == 0) {
        const off_t from = st.st_size > off_t(sizeof text) ? st.st_size - off_t(sizeof text) : 0;
        n = pread(coreOutput, text, sizeof text, from);
    }
    while (n > 0 && text[n - 1] == '\n') --n;
    ssize_t start = n;
    while (start > 0 && text[start - 1] != '\n') --start;
    if (start == n)
        std::fprintf(stderr, "%s: the program's core ended the process\n", programName);
    else
        std::fprintf(stderr, "%s: %.*s\n", programName, int(n - start), text + start);
    removePendingFiles();
    _exit(1);
}
} // namespace

int setCoreOutputAside(const char* name) {
    programName = name;
    const int standardOutput = fcntl(1, F_DUPFD_CLOEXEC, 3);
    // Kept in memory: the core prints a few lines at most.
    coreOutput = memfd_create("geodesics core output", MFD_CLOEXEC);
    if (coreOutput < 0) coreOutput = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (coreOutput >= 0) dup2(coreOutput, 1);
    std::atexit(onExitFromCore);
    return standardOutput;
}

void rendererEnds() { endedByRenderer = true; }
