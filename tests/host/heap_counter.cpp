// Replaces the global operator new of the test program (and so of the host library it loads)
// with one that counts.
#include "heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_allocations{0};
}

namespace testing_support {
long heapAllocations() { return g_allocations.load(std::memory_order_relaxed); }
}  // namespace testing_support

// The array and nothrow forms of the standard library forward to this one.
void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
