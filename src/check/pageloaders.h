#pragma once
#include "check/checkports.h"
#include "fetch/fetchoptions.h"
#include <QString>
#include <functional>

// The ways a check gets its page.
namespace sentrel {

// The download itself, DownloadPage by default; tests put a scripted one in.
using DownloadFunction = std::function<QString(const QString &url)>;
DownloadFunction pageDownload(FetchOptions options = {});

// Downloads on the calling thread, which waits.
class DirectPageLoader final : public PageLoader {
public:
    explicit DirectPageLoader(DownloadFunction download = pageDownload()) : download_(std::move(download)) {}
    QString load(const QString &url) override { return download_(url); }

private:
    DownloadFunction download_;
};

// Downloads on a worker thread while the calling (window) thread keeps
// handling its events in a local event loop, so that the window repaints and
// answers during a slow download. Whatever those events do runs inside the
// check, as at any other moment messages are let through: rows may be
// deleted, and a nested run may start and finish before this load returns.
// Without an application object it downloads on the calling thread.
class BackgroundPageLoader final : public PageLoader {
public:
    explicit BackgroundPageLoader(DownloadFunction download = pageDownload()) : download_(std::move(download))
    {
    }
    QString load(const QString &url) override;

private:
    DownloadFunction download_;
};

} // namespace sentrel
