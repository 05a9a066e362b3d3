#include "app/allocator.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>

namespace corvane::app {
namespace {

void* volatile kept = nullptr;  // so the compiler keeps the allocations

TEST(Allocator, LargeBlocksStayMappedOnTheirOwnAfterALargerOneWasFreed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers bring an allocator of their own";
#endif
    FixAllocatorThresholds();
    // Left to itself, glibc raises its threshold past a mapped block when it is freed, and
    // serves every smaller large block from an arena from then on.
    kept = std::malloc(size_t(4) << 20);
    std::free(kept);
    const size_t mapped = mallinfo2().hblks;
    kept = std::malloc(size_t(512) << 10);
    EXPECT_EQ(mallinfo2().hblks, mapped + 1);
    std::free(kept);
    EXPECT_EQ(mallinfo2().hblks, mapped);
}

}  // namespace
}  // namespace corvane::app
