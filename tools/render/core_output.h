// The renderer's standard output carries pictures (--png -) and nothing else,
// while the program's core prints there as the window does: the figure's
// notice for a pentagon collapsed to a pole ("division by zero compensated:
// norm") and fatal()'s message before it ends the process. So file descriptor
// 1 is set aside for the core's words: the renderer drops them when it ends as
// it chose, and when the core ends the process, its last line goes to
// standard error, the pending files are removed and the exit status is 1.
#pragma once

// Points file descriptor 1 at a file of its own. Returns a descriptor for the
// real standard output (close-on-exec), or -1 when there was none. Once, at the
// start; `name` prefixes the core's message.
int setCoreOutputAside(const char* name);

// The renderer ends the process itself, with its own message and status.
void rendererEnds();
