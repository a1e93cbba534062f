// A block from malloc that is freed when its owner goes out of scope, on every path.
#pragma once

#include <cstdlib>
#include <memory>

struct FreeDeleter {
    void operator()(void *block) const { std::free(block); }
};

template <class T> using MallocBuffer = std::unique_ptr<T, FreeDeleter>;

// Null when the block cannot be had.
template <class T> MallocBuffer<T> AllocateBuffer(size_t bytes) {
    return MallocBuffer<T>(static_cast<T *>(std::malloc(bytes)));
}
