#include "app/allocator.h"

#include <malloc.h>

namespace corvane::app {

void FixAllocatorThresholds() {
    // Setting either one also stops glibc from moving both.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}

}  // namespace corvane::app
