#include "strip/gumboarena.h"
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace sentrel {

namespace {
constexpr std::size_t kLargestChunk = std::size_t(4) << 20;
// Small blocks come in steps of 8 bytes up to 512, then in powers of two up
// to 32 KiB; anything larger is a block of its own.
constexpr std::size_t kStepLimit = 512;
constexpr std::size_t kSmallLimit = std::size_t(32) << 10;

constexpr std::size_t kHugePage = std::size_t(2) << 20;

void *checkedMalloc(std::size_t size)
{
    void *block = std::malloc(size);
    // gumbo has no way to report a failed allocation.
    if (!block)
        qFatal("Out of memory while parsing a page");
    return block;
}
// A large chunk on huge pages where the system offers them: a big page's
// parse otherwise spends a good part of its time in page faults.
void *newChunk(std::size_t size)
{
#ifdef __linux__
    if (size >= kHugePage && size % kHugePage == 0) {
        if (void *chunk = std::aligned_alloc(kHugePage, size)) {
            madvise(chunk, size, MADV_HUGEPAGE);
            return chunk;
        }
    }
#endif
    return checkedMalloc(size);
}
} // namespace

GumboArena::~GumboArena()
{
    for (void *chunk : chunks_)
        std::free(chunk);
    for (void *block : large_)
        std::free(block);
}

void GumboArena::configure(GumboOptions &options)
{
    options.allocator = [](void *self, size_t size) {
        return static_cast<GumboArena *>(self)->allocate(size);
    };
    options.deallocator = [](void *self, void *block) { static_cast<GumboArena *>(self)->release(block); };
    options.userdata = this;
}

int GumboArena::classOf(std::size_t size)
{
    if (size <= kStepLimit)
        return int((std::max<std::size_t>(size, 1) + 7) / 8) - 1; // 0 .. 63
    int cls = 64;
    for (std::size_t s = kStepLimit * 2; s < size; s *= 2)
        ++cls;
    return cls; // 64 (1 KiB) .. 69 (32 KiB)
}

std::size_t GumboArena::classSize(int cls)
{
    if (cls < 64)
        return std::size_t(cls + 1) * 8;
    return kStepLimit << (cls - 63);
}

void *GumboArena::carve(std::size_t bytes)
{
    if (bytes > left_) {
        cursor_ = static_cast<char *>(newChunk(nextChunk_));
        chunks_.push_back(cursor_);
        left_ = nextChunk_;
        nextChunk_ = std::min(nextChunk_ * 2, kLargestChunk);
    }
    void *p = cursor_;
    cursor_ += bytes;
    left_ -= bytes;
    return p;
}

void *GumboArena::allocate(std::size_t size)
{
    if (size > kSmallLimit) {
        char *block = static_cast<char *>(checkedMalloc(size + kHeader));
        large_.insert(block);
        const unsigned tag = kLarge;
        std::memcpy(block, &tag, sizeof tag);
        return block + kHeader;
    }
    const int cls = classOf(size);
    char *block;
    if (free_[cls]) {
        block = reinterpret_cast<char *>(free_[cls]) - kHeader;
        free_[cls] = free_[cls]->next;
    } else {
        block = static_cast<char *>(carve(classSize(cls) + kHeader));
    }
    const auto tag = unsigned(cls);
    std::memcpy(block, &tag, sizeof tag);
    return block + kHeader;
}

void GumboArena::release(void *p)
{
    if (!p)
        return;
    char *block = static_cast<char *>(p) - kHeader;
    unsigned tag;
    std::memcpy(&tag, block, sizeof tag);
    if (tag == kLarge) {
        large_.erase(block);
        std::free(block);
        return;
    }
    auto *freed = static_cast<FreeBlock *>(p);
    freed->next = free_[tag];
    free_[tag] = freed;
}

} // namespace sentrel
