#pragma once
#include "check/checkports.h"
#include "check/reduction.h"
#include <QString>
#include <QStringList>
#include <exception>
#include <mutex>
#include <vector>

namespace sentrel {

// Reductions done ahead, on the threads that download the pages, so that a
// run's CPU work overlaps with its waiting. A check takes the one made for
// its URL only when every input is the same as its own (page text, options,
// strip method, exclusions); otherwise, or when there is none, it reduces on
// the spot. Since a reduction depends on nothing else, the result, or the
// error it raises, is the same either way.
class ReductionCache final : public PageReducer {
public:
    // Pages above this many characters are left to the check: reducing
    // several of them at once would multiply the memory a run needs.
    explicit ReductionCache(qsizetype maxPreparedChars = qsizetype(1) << 20) : maxChars_(maxPreparedChars) {}

    // Called from any thread with a downloaded page: reduces its trimmed
    // text with the given inputs and keeps the outcome for `url`. An empty
    // text is kept out (the check stops before reducing it), and so is a
    // page above the size limit. Never throws: an error of the reduction is
    // kept and raised by reduce() on the checking thread.
    void prepare(const QString &url, const QString &pageText, const CheckOptions &options, StripMethod method,
                 const QStringList &exclusions);

    QString reduce(const QString &url, const QString &body, const CheckOptions &options, StripMethod method,
                   const QStringList &exclusions) override;

    qsizetype size() const;

private:
    struct Entry {
        QString url;
        QString body;
        CheckOptions options;
        StripMethod method;
        QStringList exclusions;
        QString reduced;
        std::exception_ptr failure;
    };

    const qsizetype maxChars_;
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

} // namespace sentrel
