// The program's tick source: a monotonic wall clock in milliseconds, so the
// animation advances at real speed while the program idles (processor time
// would stand still).
#include <chrono>

#include "basicsource/platform.h"

int32_t platformTickCount() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return int32_t(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
