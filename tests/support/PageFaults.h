// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Page faults counted around a piece of work, for the tests that pin how much fresh memory
// drawing and writing a chart take.
#pragma once

#include <sys/mman.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <functional>

namespace PageFaults
{

/// The page faults of this process (or, with RUSAGE_CHILDREN, of its finished children)
/// while the work runs.
inline long of(const std::function<void()> &work, int who = RUSAGE_SELF)
{
    rusage before{}, after{};
    getrusage(who, &before);
    work();
    getrusage(who, &after);
    return after.ru_minflt - before.ru_minflt;
}

/// Whether the system gives huge pages when asked: filling two fresh ones then takes a
/// handful of faults instead of a thousand. Where it does not, there is nothing to measure.
inline bool hugePagesGiven()
{
    constexpr size_t HugePage = 2 * 1024 * 1024;
    constexpr size_t Length = 2 * HugePage;
    void *mapped = mmap(nullptr, Length + HugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return false;
    auto *memory = reinterpret_cast<char *>(
        (reinterpret_cast<std::uintptr_t>(mapped) + HugePage - 1) & ~std::uintptr_t(HugePage - 1));
    madvise(memory, Length, MADV_HUGEPAGE);
    const long faults = of([&] { std::memset(memory, 1, Length); });
    munmap(mapped, Length + HugePage);
    return faults <= 16;
}

} // namespace PageFaults
