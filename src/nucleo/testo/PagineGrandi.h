#pragma once

// Large buffers that are about to be filled once, from start to end (a whole
// document decoded, encoded or rewritten), on huge pages where the system
// offers them: a 20 MB document otherwise costs tens of thousands of page
// faults. Only the 2 MB blocks wholly inside the buffer are affected.

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

inline void PagineGrandi(const void *inizio, std::size_t byte) noexcept
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t Blocco = std::uintptr_t(2) << 20;
    if (byte < 4 * Blocco) return;
    const std::uintptr_t a = (std::uintptr_t(inizio) + Blocco - 1) & ~(Blocco - 1);
    const std::uintptr_t b = (std::uintptr_t(inizio) + byte) & ~(Blocco - 1);
    if (b > a) madvise(reinterpret_cast<void *>(a), b - a, MADV_HUGEPAGE);
#else
    (void)inizio;
    (void)byte;
#endif
}
