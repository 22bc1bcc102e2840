#pragma once
#include "diff/textdiff.h"
#include <QString>
#include <QStringView>

namespace sentrel {

struct UnifiedStyle {
    // ANSI colours as `git diff --color` uses them: bold file headers, cyan
    // hunk headers, red removed and green added text.
    bool colour = false;
    // `git diff --word-diff=plain` notation: one line per changed line pair,
    // with [-removed-] and {+added+} inline and no prefix column.
    bool words = false;
};

// A diff as `diff -u` prints it, headed "--- oldLabel" and "+++ newLabel";
// every line keeps the break it had, and a side's last line without one is
// followed by "\ No newline at end of file". An empty diff gives "".
QString unifiedDiff(const TextDiff &diff, QStringView oldLabel, QStringView newLabel,
                    const UnifiedStyle &style = {});

} // namespace sentrel
