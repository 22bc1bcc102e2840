#pragma once
#include <cstddef>
#include <gumbo.h>
#include <unordered_set>
#include <vector>

namespace sentrel {

// All of gumbo's memory for one parse. Blocks that gumbo frees during the
// parse (token buffers, temporary strings) are reused, so the parse touches
// little more memory than the tree it leaves; the tree itself is dropped in
// one go with the arena. That matters for two reasons: gumbo's own tree
// destructor recurses once per tree level (and so overflows the stack on
// pages with hundreds of thousands of unclosed elements), and one bulk free
// is much cheaper than a million small ones.
class GumboArena {
public:
    GumboArena() = default;
    GumboArena(const GumboArena &) = delete;
    GumboArena &operator=(const GumboArena &) = delete;
    ~GumboArena();

    // Points the parse's allocator at this arena.
    void configure(GumboOptions &options);

    void *allocate(std::size_t size);
    void release(void *block);

private:
    struct FreeBlock {
        FreeBlock *next;
    };
    // gumbo's structures hold pointers and sizes only, so pointer alignment is
    // enough; a smaller header saves megabytes on a large page.
    static constexpr std::size_t kHeader = alignof(void *);
    static constexpr int kClasses = 70;
    static constexpr unsigned kLarge = 0xFFFFFFFFu;

    static int classOf(std::size_t size);
    static std::size_t classSize(int cls);
    void *carve(std::size_t bytes);

    FreeBlock *free_[kClasses] = {};
    std::vector<void *> chunks_;
    std::unordered_set<void *> large_;
    char *cursor_ = nullptr;
    std::size_t left_ = 0;
    std::size_t nextChunk_ = std::size_t(64) << 10;
};

} // namespace sentrel
