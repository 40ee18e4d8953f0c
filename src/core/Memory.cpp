#include "core/Memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace core {

void KeepLargeAllocations() {
#if defined(__GLIBC__)
    // Blocks up to 256 MiB come from the heap rather than their own mappings, and the heap
    // is not trimmed until 512 MiB lie free at its top.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
}

}  // namespace core
