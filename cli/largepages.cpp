#include "cli/largepages.h"

#include <cstdint> // also tells which C library this is

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#if __GLIBC_PREREQ(2, 33) && defined(MADV_HUGEPAGE)
#define LUFTVAKA_LARGE_PAGES
#endif
#endif

namespace lv::cli {

void prepareHeapForLargeRun()
{
#ifdef LUFTVAKA_LARGE_PAGES
    // Every 4 KB page the tool touches for the first time is a page fault; for a maximum
    // tunnel that is thousands of faults and more time than reading and computing the tunnel.
    // So blocks up to 32 MB (glibc's limit) come from the heap instead of mappings of their
    // own, freed memory stays in the heap for the next block, the heap grows by 64 MB at once,
    // and that part is offered to the kernel for 2 MB pages (one fault each, where it has them;
    // otherwise it stays in 4 KB pages and only the faults remain).
    constexpr int kLargestHeapBlock = 32 << 20;
    constexpr int kGrowth = 64 << 20;
    constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;
    if (mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 0 ||
        mallopt(M_TRIM_THRESHOLD, 4 * kGrowth) == 0 || mallopt(M_TOP_PAD, kGrowth) == 0)
        return;
    // A block larger than the heap's free top makes the heap grow now, by the block and the
    // 64 MB; freed again, it joins the top, where the next blocks are cut from.
    void *probe = malloc(mallinfo2().keepcost + kLargePage);
    if (!probe)
        return;
    const auto first = (reinterpret_cast<std::uintptr_t>(probe) + kLargePage) & ~(kLargePage - 1);
    const auto last = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kLargePage - 1);
    // Only the heap just grown: a malloc of another kind (a sanitizer's) gives a block elsewhere.
    if (last > first && last - first <= std::uintptr_t(2) * kGrowth)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    free(probe);
#endif
}

} // namespace lv::cli
