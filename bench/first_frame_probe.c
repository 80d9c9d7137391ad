/* Start-up probe, loaded with LD_PRELOAD into the program or the bare window.
 * At the first buffer swap it lets the swap finish and waits until the X server
 * has taken the image (XSync), then appends one line to the file named by
 * FIRST_FRAME_OUT and ends the process:
 *   <wall ms since FIRST_FRAME_T0> <process CPU ms> <peak resident KiB>
 * FIRST_FRAME_T0 is the wall-clock time (seconds, as bash's $EPOCHREALTIME
 * gives it) taken just before the process was started. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    void (*real)(Display*, GLXDrawable) =
        (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(dpy, drawable);
    XSync(dpy, False);

    struct timespec wall, cpu;
    clock_gettime(CLOCK_REALTIME, &wall);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const char* t0 = getenv("FIRST_FRAME_T0");
    const char* out = getenv("FIRST_FRAME_OUT");
    double start = t0 ? atof(t0) : 0;
    double now = (double)wall.tv_sec + wall.tv_nsec * 1e-9;
    FILE* f = out ? fopen(out, "a") : stderr;
    if (f) {
        fprintf(f, "%.3f %.3f %ld\n", (now - start) * 1e3,
                (double)cpu.tv_sec * 1e3 + cpu.tv_nsec * 1e-6, usage.ru_maxrss);
        if (f != stderr) fclose(f);
    }
    _exit(0);
}
