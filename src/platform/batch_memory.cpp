#include "platform/batch_memory.h"

// Any C library header tells whether it is glibc.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gainbook {

void keepFreedMemoryForNextSteps() {
#if defined(__GLIBC__)
    // Blocks below 64 MB come from the heap, where a freed one is reused;
    // mapped blocks would be unmapped when freed. Up to 256 MB freed at the
    // top of the heap stays there.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

} // namespace gainbook
