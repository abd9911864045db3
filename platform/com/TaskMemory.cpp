#include <cstdlib>

#include "platform/com/Runtime.h"

// A request for 0 bytes still gives a pointer the caller can free.
void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size ? size : 1); }

// As in COM: a null block is allocated, a 0 size frees the block and answers null.
void* CoTaskMemRealloc(void* p, std::size_t size)
{
    if (!p) return CoTaskMemAlloc(size);
    if (size == 0) {
        std::free(p);
        return nullptr;
    }
    return std::realloc(p, size);
}

void CoTaskMemFree(void* p) { std::free(p); }
