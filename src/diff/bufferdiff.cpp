#include "diff/bufferdiff.h"
#include "text/error.h"
#include <algorithm>
#include <exception>
#include <git2/diff.h>
#include <git2/errors.h>

namespace sentrel {

namespace {

struct CallbackState {
    const BufferDiffCallbacks &callbacks;
    std::exception_ptr failure;
};

// libgit2 stops the run when a callback returns non-zero and hands that value back.
constexpr int kStopped = -1;

int onHunk(const git_diff_delta *, const git_diff_hunk *hunk, void *payload)
{
    auto *state = static_cast<CallbackState *>(payload);
    try {
        state->callbacks.onHunk(
            BufferHunk{hunk->old_start, hunk->old_lines, hunk->new_start, hunk->new_lines});
        return 0;
    } catch (...) {
        state->failure = std::current_exception();
        return kStopped;
    }
}

int onLine(const git_diff_delta *, const git_diff_hunk *, const git_diff_line *line, void *payload)
{
    auto *state = static_cast<CallbackState *>(payload);
    // The "\ No newline at end of file" markers come as lines of their own;
    // the caller sees the missing break in the content of the line before.
    if (line->origin != GIT_DIFF_LINE_CONTEXT && line->origin != GIT_DIFF_LINE_ADDITION &&
        line->origin != GIT_DIFF_LINE_DELETION)
        return 0;
    try {
        state->callbacks.onLine(BufferLine{line->origin, line->old_lineno > 0 ? line->old_lineno : 0,
                                           line->new_lineno > 0 ? line->new_lineno : 0,
                                           std::string_view(line->content, line->content_len)});
        return 0;
    } catch (...) {
        state->failure = std::current_exception();
        return kStopped;
    }
}

} // namespace

void diffBuffers(std::string_view older, std::string_view newer, const BufferDiffCallbacks &callbacks)
{
    git_diff_options options;
    git_diff_options_init(&options, GIT_DIFF_OPTIONS_VERSION);
    // Page texts are never binary to us, whatever bytes they hold. The
    // default (Myers) matcher: patience was no faster on 5 MB texts and
    // slower when few lines change, and GIT_DIFF_MINIMAL would give up the
    // cost cut-off that keeps the worst case bounded.
    options.flags = GIT_DIFF_FORCE_TEXT;
    options.context_lines = uint32_t(std::max(0, callbacks.contextLines));
    options.interhunk_lines = 0;
    options.max_size = -1;

    CallbackState state{callbacks, nullptr};
    const int result = git_diff_buffers(
        older.data(), older.size(), nullptr, newer.data(), newer.size(), nullptr, &options, nullptr, nullptr,
        callbacks.onHunk ? onHunk : nullptr, callbacks.onLine ? onLine : nullptr, &state);
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (result < 0) {
        const git_error *error = git_error_last();
        throw Error(QStringLiteral("Could not compare the two texts: %1")
                        .arg(QString::fromUtf8(error ? error->message : "unknown error")));
    }
}

} // namespace sentrel
