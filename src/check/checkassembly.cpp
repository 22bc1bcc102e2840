#include "check/checkassembly.h"
#include "check/prefetchloader.h"
#include "storage/storesqlite.h"
#include <QHash>

namespace sentrel {

// The loader a check uses: the run's downloads ahead when there are any,
// else a plain download; either waited for as the parts say.
class CheckAssembly::RunLoader final : public PageLoader {
public:
    RunLoader(DownloadFunction download, bool letMessagesThrough)
        : download_(std::move(download)), waiting_([this](const QString &url) { return fetch(url); }),
          letMessagesThrough_(letMessagesThrough)
    {
    }
    QString load(const QString &url) override
    {
        return letMessagesThrough_ ? waiting_.load(url) : fetch(url);
    }
    void setAhead(std::unique_ptr<PrefetchingPageLoader> ahead) { ahead_ = std::move(ahead); }

private:
    QString fetch(const QString &url) { return ahead_ ? ahead_->load(url) : download_(url); }

    DownloadFunction download_;
    BackgroundPageLoader waiting_;
    bool letMessagesThrough_;
    std::unique_ptr<PrefetchingPageLoader> ahead_;
};

CheckAssembly::CheckAssembly(CheckAssemblyParts parts)
    : p_(std::move(parts)), loader_(std::make_unique<RunLoader>(p_.download, p_.letMessagesThrough)),
      engine_(CheckServices{p_.list, p_.store, p_.storeErrors, p_.observer, p_.preferences, p_.pump, *loader_,
                            p_.clock, &reductions_})
{
}

CheckAssembly::~CheckAssembly() = default;

void CheckAssembly::runStarting(const QStringList &urls)
{
    if (runDepth_++ == 0 && p_.jobs > 1 && urls.size() >= 2)
        prefetch(urls);
}

void CheckAssembly::runEnded()
{
    if (runDepth_ > 0)
        --runDepth_;
}

void CheckAssembly::prefetch(const QStringList &urls)
{
    // The downloads of a run before waited for here, not at its end.
    loader_->setAhead(nullptr);
    QHash<QString, CheckOptions> options;
    for (const QString &url : urls) {
        try {
            if (const std::optional<WebsiteRecord> row = p_.store.lookup(url))
                options.insert(url, row->options);
        } catch (const StoreError &) {
            // The check's own lookup reports it.
        }
    }
    const StripMethod method = p_.preferences.stripMethod();
    const QStringList exclusions = p_.preferences.exclusions();
    auto downloadAndReduce = [this, options, method, exclusions](const QString &url) {
        QString text = p_.download(url);
        if (const auto it = options.constFind(url); it != options.constEnd())
            reductions_.prepare(url, text, *it, method, exclusions);
        return text;
    };
    loader_->setAhead(std::make_unique<PrefetchingPageLoader>(urls, p_.jobs, downloadAndReduce));
}

} // namespace sentrel
