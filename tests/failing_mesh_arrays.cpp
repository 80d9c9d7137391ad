// Loaded with LD_PRELOAD into geodesics-render (render_output_test.sh): every
// `new (std::nothrow) T[n]` fails, as when memory runs out while the scene's
// shapes are built, so the program's core ends the process through fatal().
// The renderer must say so on standard error, in one line, and leave no file.
#include <cstddef>
#include <new>

void* operator new[](std::size_t, const std::nothrow_t&) noexcept { return nullptr; }
