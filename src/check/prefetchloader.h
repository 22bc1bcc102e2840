#pragma once
#include "check/pageloaders.h"
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace sentrel {

// Downloads the pages of a run ahead of the checks, a few at a time, so that
// waiting for one server overlaps with the next checks. The checks still ask
// for their pages one by one in row order and get exactly what a download at
// that moment would have given them (the text, or the download's error);
// only the time at which each download happened differs. A request for a URL
// other than the next expected one is downloaded on the spot.
//
// At most `jobs` pages are in flight or waiting to be taken, and downloads
// that are not yet needed pause while the pages waiting hold more than
// `maxHeldChars` characters, so a run over huge pages keeps its memory low.
class PrefetchingPageLoader final : public PageLoader {
public:
    PrefetchingPageLoader(QStringList urls, int jobs, DownloadFunction download = pageDownload(),
                          qsizetype maxHeldChars = qsizetype(32) << 20);
    // Starts no further downloads and waits for those in flight.
    ~PrefetchingPageLoader() override;
    PrefetchingPageLoader(const PrefetchingPageLoader &) = delete;
    PrefetchingPageLoader &operator=(const PrefetchingPageLoader &) = delete;

    QString load(const QString &url) override;

private:
    struct Slot {
        bool ready = false;
        QString text;
        std::exception_ptr failure;
    };

    void work();
    bool mayStart(qsizetype index) const; // with mutex_ held

    const QStringList urls_;
    const qsizetype jobs_;
    const DownloadFunction download_;
    const qsizetype maxHeldChars_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    qsizetype next_ = 0;    // the page the checks take next
    qsizetype claimed_ = 0; // pages handed to a worker so far
    qsizetype heldChars_ = 0;
    bool stopping_ = false;
    std::vector<std::jthread> workers_;
};

} // namespace sentrel
