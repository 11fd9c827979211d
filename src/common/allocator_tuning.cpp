#include "common/allocator_tuning.h"

#include <malloc.h>

namespace pelmar::common {

void keepLargeBuffersForReuse() {
    // Blocks up to 32 MB (glibc's largest threshold) come from the heap, and up to 64 MB free at
    // its top stay there; the pages of a freed buffer that were never written cost nothing.
    constexpr int kHeapBlockLimit = 32 * 1024 * 1024;
    constexpr int kKeptFreeTop = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kHeapBlockLimit);
    mallopt(M_TRIM_THRESHOLD, kKeptFreeTop);
}

} // namespace pelmar::common
