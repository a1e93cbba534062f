// A block from malloc that is freed when its owner goes out of scope, on every path.
#pragma once

#include <cstdlib>

#include "base/scoped.h"

inline void FreeBlock(void *block) { std::free(block); }

template <class T> using MallocBuffer = Owned<T, FreeBlock>;

// Null when the block cannot be had.
template <class T> MallocBuffer<T> AllocateBuffer(size_t bytes) {
    return MallocBuffer<T>(static_cast<T *>(std::malloc(bytes)));
}
