#include "platform/batch_memory.h"

// Any C library header tells whether it is glibc.
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__GLIBC__) && defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace gainbook {

namespace {

#if defined(__GLIBC__) && defined(__linux__)
// Grows the heap once by `reserve` bytes of address space and asks the kernel
// to back that range with 2 MB pages. A run touches tens or hundreds of
// megabytes of fresh memory once; each 4 KB page of it costs a fault, and on
// a virtual machine a fault is dear: at 50,000 trades the faults were a
// quarter of a processing run. No memory is used until it is touched. The
// heap grows past the range in the ordinary way.
void reserveHeapInLargePages(std::size_t reserve) {
    constexpr std::uintptr_t largePage = std::uintptr_t(2) << 20;
    constexpr std::size_t probeSize = std::size_t(1) << 20;
    mallopt(M_TOP_PAD, int(reserve));
    void* const probe = std::malloc(probeSize); // more than the heap holds free
    const auto first = reinterpret_cast<std::uintptr_t>(probe);
    const auto top = reinterpret_cast<std::uintptr_t>(sbrk(0));
    std::free(probe);
    mallopt(M_TOP_PAD, 128 << 10); // the C library's default
    // A heap that could not grow gave the probe a mapping of its own.
    if (probe == nullptr || first >= top || top - first > reserve + probeSize + largePage)
        return;
    const std::uintptr_t begin = (first + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t end = top & ~(largePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}
#endif

} // namespace

void keepFreedMemoryForNextSteps() {
#if defined(__GLIBC__)
    // Blocks below 32 MB (the most the library accepts) come from the heap,
    // where a freed one is reused; mapped blocks would be unmapped when
    // freed. Freed memory at the top of the heap stays there up to 1 GB, so
    // that the reserved range below is never given back and asked for again
    // without its large pages.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#if defined(__linux__)
    reserveHeapInLargePages(std::size_t(512) << 20);
#endif
#endif
}

} // namespace gainbook
