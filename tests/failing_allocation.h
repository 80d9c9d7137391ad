// Lets a test make `new (std::nothrow) T[n]` return null, as it would when
// memory runs out, to reach the shapes' allocation failure path. Replaces the
// global nothrow array allocation; include it in one source of a test only.
#pragma once

#include <cstddef>
#include <new>

inline bool failNothrowArrays = false; // set inside a death test only
// When not negative: this many more nothrow array allocations succeed, then
// every later one fails (to reach a second allocation's failure path).
inline int nothrowArraysBeforeFailure = -1;
// When not negative: only the nothrow array allocation this many after the
// next one fails (0: the next); those before and after it succeed.
inline int onlyNothrowArrayToFail = -1;

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (nothrowArraysBeforeFailure == 0) failNothrowArrays = true;
    if (nothrowArraysBeforeFailure > 0) --nothrowArraysBeforeFailure;
    if (failNothrowArrays) return nullptr;
    if (onlyNothrowArrayToFail >= 0 && onlyNothrowArrayToFail-- == 0) return nullptr;
    try {
        return ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
