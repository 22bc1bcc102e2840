#include "check/pageloaders.h"
#include "fetch/fetcher.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <exception>
#include <thread>

namespace sentrel {

DownloadFunction pageDownload(FetchOptions options)
{
    return [options](const QString &url) { return DownloadPage(url, options); };
}

QString BackgroundPageLoader::load(const QString &url)
{
    if (!QCoreApplication::instance())
        return download_(url);

    QString text;
    std::exception_ptr failure;
    QEventLoop loop;
    {
        // Declared after the loop, so joined before the loop goes: the
        // worker's last act is to queue the loop's quit.
        std::jthread worker([&] {
            try {
                text = download_(url);
            } catch (...) {
                failure = std::current_exception();
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        // A quit queued before exec() starts is handled by exec() itself.
        loop.exec();
    }
    if (failure)
        std::rethrow_exception(failure);
    return text;
}

} // namespace sentrel
