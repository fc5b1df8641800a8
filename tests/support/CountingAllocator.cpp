#include "CountingAllocator.h"

#include <atomic>
#include <cstdlib>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
void Count() {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
}
} // namespace

namespace ferrovane::test {

void CountAllocations(bool on) {
    if (on) allocations = 0;
    counting = on;
}

int CountedAllocations() {
    return allocations.load();
}

} // namespace ferrovane::test

extern "C" {
void* malloc(size_t n) {
    Count();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t m) {
    Count();
    return __libc_calloc(n, m);
}
void* realloc(void* p, size_t n) {
    Count();
    return __libc_realloc(p, n);
}
void* aligned_alloc(size_t a, size_t n) {
    Count();
    return __libc_memalign(a, n);
}
int posix_memalign(void** out, size_t a, size_t n) {
    Count();
    *out = __libc_memalign(a, n);
    return *out ? 0 : 12;
}
}
