#include "check/reductioncache.h"
#include "text/lines.h"
#include <optional>

namespace sentrel {

void ReductionCache::prepare(const QString &url, const QString &pageText, const CheckOptions &options,
                             StripMethod method, const QStringList &exclusions)
{
    if (pageText.size() > maxChars_)
        return;
    try {
        Entry entry{url, trim(pageText), options, method, exclusions, {}, {}};
        if (entry.body.isEmpty())
            return;
        try {
            entry.reduced = reducePage(entry.body, options, method, exclusions);
        } catch (...) {
            // Kept for the check, which raises it on its own thread, where
            // it becomes that URL's error.
            entry.failure = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    } catch (...) {
        // No room to keep the work done ahead (memory): the check reduces
        // the page itself. Nothing may leave a download thread.
    }
}

QString ReductionCache::reduce(const QString &url, const QString &body, const CheckOptions &options,
                               StripMethod method, const QStringList &exclusions)
{
    std::optional<Entry> found;
    {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->url == url) {
                found = std::move(*it);
                entries_.erase(it);
                break;
            }
        }
    }
    if (!found || found->body != body || found->options != options || found->method != method ||
        found->exclusions != exclusions)
        return reducePage(body, options, method, exclusions);
    if (found->failure)
        std::rethrow_exception(found->failure);
    return std::move(found->reduced);
}

qsizetype ReductionCache::size() const
{
    std::lock_guard lock(mutex_);
    return qsizetype(entries_.size());
}

} // namespace sentrel
