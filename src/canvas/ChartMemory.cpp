// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/ChartMemory.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace brimlark
{

namespace
{

struct Block {
    void *memory = nullptr;
    size_t length = 0;
};

// The last freed block. A chart's memory can be freed on the bitmap writer's thread, when it
// lets go of a picture after the editing has moved on.
struct Kept {
    std::mutex mutex;
    Block block;
};

// Never destroyed: a picture may still let go of its memory while the program ends.
Kept &kept()
{
    static Kept *const instance = new Kept;
    return *instance;
}

Block take(size_t length)
{
    Kept &pool = kept();
    {
        const std::lock_guard lock(pool.mutex);
        if (pool.block.length == length)
            return std::exchange(pool.block, Block{});
    }
    void *memory = nullptr;
    if (posix_memalign(&memory, ChartMemory::HugePage, length) != 0)
        throw std::bad_alloc();
    madvise(memory, length, MADV_HUGEPAGE);
    return {memory, length};
}

void giveBack(void *info)
{
    auto *block = static_cast<Block *>(info);
    Kept &pool = kept();
    Block replaced;
    {
        const std::lock_guard lock(pool.mutex);
        replaced = std::exchange(pool.block, *block);
    }
    std::free(replaced.memory);
    delete block;
}

} // namespace

// The advice covers the whole allocation, rounded up to whole huge pages: given only the
// chart's bytes, the system backs its last, partial huge page with small pages (a 1600 x 1200
// chart ends 1.3 MB into its fourth huge page: 339 faults instead of one).
QImage ChartMemory::image(int width, int height, qsizetype bytesPerLine, QImage::Format format)
{
    const size_t bytes = size_t(bytesPerLine) * size_t(height);
    const size_t length = (bytes + HugePage - 1) / HugePage * HugePage;
    auto *block = new Block(take(length));
    return QImage(static_cast<uchar *>(block->memory), width, height, bytesPerLine, format,
                  giveBack, block);
}

void ChartMemory::releaseKept()
{
    Kept &pool = kept();
    Block released;
    {
        const std::lock_guard lock(pool.mutex);
        released = std::exchange(pool.block, Block{});
    }
    std::free(released.memory);
}

} // namespace brimlark
