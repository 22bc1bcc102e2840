#include "diff/bufferdiff.h"
#include "diff/libgit2session.h"
#include "text/error.h"
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

TEST(DiffBuffers, AnExceptionInACallbackStopsTheRunAndReachesTheCaller)
{
    LibGit2Session session;
    int hunks = 0;
    BufferDiffCallbacks callbacks;
    callbacks.contextLines = 0;
    callbacks.onHunk = [&hunks](const BufferHunk &) {
        ++hunks;
        throw Error(QStringLiteral("stop here"));
    };
    try {
        diffBuffers("a\nb\nc\nd\n", "A\nb\nc\nD\n", callbacks);
        FAIL() << "the callback's exception was swallowed";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("stop here"));
    }
    // Two separate changes, but the run ended at the first.
    EXPECT_EQ(hunks, 1);
}

TEST(DiffBuffers, HunksAloneOrWithTheirLines)
{
    LibGit2Session session;
    std::vector<BufferLine> lines;
    BufferDiffCallbacks callbacks;
    callbacks.contextLines = 1;
    callbacks.onHunk = [](const BufferHunk &hunk) {
        EXPECT_EQ((std::vector<int>{hunk.oldStart, hunk.oldCount, hunk.newStart, hunk.newCount}),
                  (std::vector<int>{1, 2, 1, 2}));
    };
    diffBuffers("a\nb", "a\nc", callbacks);
    callbacks.onLine = [&lines](const BufferLine &line) { lines.push_back(line); };
    diffBuffers("a\nb", "a\nc", callbacks);
    // The "no newline" markers are left out; the missing break shows in the content.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].origin, ' ');
    EXPECT_EQ(lines[0].content, "a\n");
    EXPECT_EQ((std::vector<int>{lines[1].oldLine, lines[1].newLine}), (std::vector<int>{2, 0}));
    EXPECT_EQ(lines[1].content, "b");
    EXPECT_EQ(lines[2].origin, '+');
    EXPECT_EQ((std::vector<int>{lines[2].oldLine, lines[2].newLine}), (std::vector<int>{0, 2}));
}

} // namespace
