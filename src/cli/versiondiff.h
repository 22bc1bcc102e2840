#pragma once
#include "cli/versions.h"
#include "diff/textdiff.h"
#include "diff/unifieddiff.h"
#include <QString>
#include <iosfwd>

namespace sentrel {
class WebsiteDb;
}

namespace sentrel::cli {

struct VersionDiffStyle {
    DiffOptions diff;      // context lines, word marks
    UnifiedStyle printing; // colour, word notation (follows diff.words)
};

// The unified diff of version `older` against version `newer` of the URL,
// headed with their labels ("URL@N (local time)"); "" when the texts are
// equal. Throws sentrel::Error for a number the URL has no version for, and
// StoreError when a text cannot be read.
QString versionDiff(WebsiteDb &store, const UrlVersions &versions, int older, int newer,
                    const VersionDiffStyle &style);

// The diff of a URL's newest version against the one before, as
// `check --diff` prints it after a changed row (three lines of context,
// coloured only on a terminal); "" when the URL has fewer than two versions.
QString latestChangeDiff(WebsiteDb &store, const QString &url, const std::ostream &out);

// Whether --color=WHEN (auto, always or never) colours the output written
// to `out`; throws UsageError for any other value.
bool colourWanted(const QString &when, const std::ostream &out);

} // namespace sentrel::cli
