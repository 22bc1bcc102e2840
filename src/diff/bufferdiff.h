#pragma once
#include <functional>
#include <string_view>

// One run of libgit2's line matcher over two UTF-8 buffers. Its C callbacks
// are turned into std::functions here, and an exception thrown by one of them
// is carried past the C code and rethrown to the caller.
namespace sentrel {

// Where a run of changed lines sits, 1-based; a count of 0 means the start is
// the line after which the other side's lines belong (0 before the first).
struct BufferHunk {
    int oldStart = 0;
    int oldCount = 0;
    int newStart = 0;
    int newCount = 0;
};

// One line of a hunk: ' ', '+' or '-', its line numbers (0 on the side it is
// not on) and its bytes with the line break, if it has one.
struct BufferLine {
    char origin = ' ';
    int oldLine = 0;
    int newLine = 0;
    std::string_view content;
};

struct BufferDiffCallbacks {
    // Unchanged lines shown around each run of changes; nearby runs whose
    // context would touch or overlap are merged into one hunk.
    int contextLines = 3;
    std::function<void(const BufferHunk &)> onHunk;
    // Left empty when only the hunks are wanted: libgit2 then skips the lines.
    std::function<void(const BufferLine &)> onLine;
};

// Needs a LibGit2Session alive in the caller. Lines end at '\n'; buffers are
// always compared as text, NUL bytes included.
void diffBuffers(std::string_view older, std::string_view newer, const BufferDiffCallbacks &callbacks);

} // namespace sentrel
