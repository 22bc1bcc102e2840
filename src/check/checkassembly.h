#pragma once
#include "check/checkurl.h"
#include "check/pageloaders.h"
#include "check/reductioncache.h"
#include <QStringList>
#include <memory>

// The check engine as both programs put it together: the pages of a run
// downloaded, and reduced, ahead of its checks; a check that finds its page
// reduced ahead with its own inputs takes that reduction; the saves go to
// the store the caller gives (GroupedSaves grouping them, or the
// window's, each save durable).
namespace sentrel {

struct CheckAssemblyParts {
    const UrlListModel &list;
    WebsiteRepository &store;
    StoreErrorSink &storeErrors;
    CheckObserver &observer;
    const CheckPreferences &preferences;
    EventPump &pump;
    const Clock &clock;
    DownloadFunction download = pageDownload();
    // Pages downloaded ahead of the checks of a run; 1: each page when its
    // check needs it, so that a run stopped early downloads nothing more.
    int jobs = 1;
    // Wait for a download in a local event loop, so that a window stays
    // usable; otherwise on the calling thread.
    bool letMessagesThrough = false;
};

class CheckAssembly final : public RowChecker {
public:
    explicit CheckAssembly(CheckAssemblyParts parts);
    ~CheckAssembly() override;
    CheckAssembly(const CheckAssembly &) = delete;
    CheckAssembly &operator=(const CheckAssembly &) = delete;

    // A run begins or ends; runs may nest. With jobs above 1, the outermost
    // run's pages (at least two) start downloading, and reducing with the
    // options stored for them now, ahead of its checks. Downloads still in
    // flight when a run ends are waited for by the next run or by the
    // assembly's end, never by the run's own ending.
    void runStarting(const QStringList &urls) override;
    void runEnded() override;

    CheckOutcome check(RowId row) override { return engine_.check(row); }
    CheckEngine &engine() { return engine_; }

private:
    class RunLoader;
    void prefetch(const QStringList &urls);

    CheckAssemblyParts p_;
    ReductionCache reductions_;
    std::unique_ptr<RunLoader> loader_;
    CheckEngine engine_;
    int runDepth_ = 0;
};

} // namespace sentrel
