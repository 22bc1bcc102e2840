#include "check/prefetchloader.h"
#include <algorithm>

namespace sentrel {

PrefetchingPageLoader::PrefetchingPageLoader(QStringList urls, int jobs, DownloadFunction download,
                                             qsizetype maxHeldChars)
    : urls_(std::move(urls)), jobs_(std::max(1, jobs)), download_(std::move(download)),
      maxHeldChars_(maxHeldChars), slots_(size_t(urls_.size()))
{
    const qsizetype workers = std::min(jobs_, urls_.size());
    workers_.reserve(size_t(workers));
    for (qsizetype i = 0; i < workers; ++i)
        workers_.emplace_back([this] { work(); });
}

PrefetchingPageLoader::~PrefetchingPageLoader()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    workers_.clear(); // joins
}

bool PrefetchingPageLoader::mayStart(qsizetype index) const
{
    if (index >= urls_.size() || index >= next_ + jobs_)
        return false;
    // The page the checks wait for always starts; the ones after it only
    // while the pages already waiting are not too large.
    return index == next_ || heldChars_ <= maxHeldChars_;
}

void PrefetchingPageLoader::work()
{
    for (;;) {
        qsizetype index;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock,
                          [this] { return stopping_ || claimed_ >= urls_.size() || mayStart(claimed_); });
            if (stopping_ || claimed_ >= urls_.size())
                return;
            index = claimed_++;
        }
        Slot done;
        try {
            done.text = download_(urls_[index]);
        } catch (...) {
            done.failure = std::current_exception();
        }
        done.ready = true;
        {
            std::lock_guard lock(mutex_);
            heldChars_ += done.text.size();
            slots_[size_t(index)] = std::move(done);
        }
        changed_.notify_all();
    }
}

QString PrefetchingPageLoader::load(const QString &url)
{
    Slot taken;
    {
        std::unique_lock lock(mutex_);
        if (next_ >= urls_.size() || urls_[next_] != url) {
            lock.unlock();
            return download_(url);
        }
        const auto index = size_t(next_);
        changed_.wait(lock, [this, index] { return slots_[index].ready; });
        taken = std::move(slots_[index]);
        slots_[index] = Slot{};
        heldChars_ -= taken.text.size();
        ++next_;
    }
    changed_.notify_all();
    if (taken.failure)
        std::rethrow_exception(taken.failure);
    return std::move(taken.text);
}

} // namespace sentrel
