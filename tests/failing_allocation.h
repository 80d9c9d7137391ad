// Lets a test make `new (std::nothrow) T[n]` return null, as it would when
// memory runs out, to reach the shapes' allocation failure path. Replaces the
// global nothrow array allocation; include it in one source of a test only.
#pragma once

#include <cstddef>
#include <new>

inline bool failNothrowArrays = false; // set inside a death test only

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failNothrowArrays) return nullptr;
    try {
        return ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
