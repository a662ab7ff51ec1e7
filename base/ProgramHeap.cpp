#include "base/ProgramHeap.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#define KLOXMERE_TUNE_HEAP 1
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace kloxmere {

#ifdef KLOXMERE_TUNE_HEAP
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kReserve = std::size_t{128} << 20;
// The C library gives a thread's heap this much address space, aligned to
// its size, and grows it in place by making more of it writable.
constexpr std::uintptr_t kThreadHeapSpan = std::uintptr_t{64} << 20;

}  // namespace
#endif

void PrepareProgramHeap() {
#ifdef KLOXMERE_TUNE_HEAP
    // Two heaps: the main thread's, and one that a scan's workers share. A
    // heap per worker fares no faster on two cores and leaves one more
    // partly used stretch of huge pages.
    mallopt(M_ARENA_MAX, 2);
    // Blocks up to 4 MB come from the heap, and its free top is kept rather
    // than handed back and taken again (a new stretch would lack the mark).
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kReserve));
    // The next growth of the heap reserves the whole stretch at once.
    mallopt(M_TOP_PAD, static_cast<int>(kReserve));
    // Through a volatile pointer: the compiler may otherwise drop an unused pair.
    void* volatile grow = std::malloc(kHugePage);
    std::free(grow);
    mallopt(M_TOP_PAD, static_cast<int>(kHugePage));
    auto top = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (top == static_cast<std::uintptr_t>(-1) || top < kReserve) return;
    std::uintptr_t begin = (top - kReserve + kHugePage - 1) / kHugePage * kHugePage;
    if (begin < top) madvise(reinterpret_cast<void*>(begin), top - begin, MADV_HUGEPAGE);
#endif
}

void PrepareThreadHeap() {
#ifdef KLOXMERE_TUNE_HEAP
    void* volatile probe = std::malloc(64);
    auto at = reinterpret_cast<std::uintptr_t>(probe);
    std::free(probe);
    // Below the main heap's top: the thread shares the main heap (thread
    // heaps are mapped far above it), which is marked already.
    if (at == 0 || at < reinterpret_cast<std::uintptr_t>(sbrk(0))) return;
    // Marking the whole span covers what the heap makes writable later too.
    madvise(reinterpret_cast<void*>(at & ~(kThreadHeapSpan - 1)), kThreadHeapSpan, MADV_HUGEPAGE);
#endif
}

}  // namespace kloxmere
