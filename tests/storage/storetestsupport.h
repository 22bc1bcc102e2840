#pragma once
// Helpers shared by the store tests: a data folder in a temporary directory
// and a way to run a piece of a test in a child process.
#include "storage/storesqlite.h"
#include "storage/websitedb.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

namespace sentrel::testing {

// A fresh data folder (ending in "/") with no store in it.
class DataFolder {
public:
    DataFolder() : path_(dir_.path() + u'/') {}
    const QString &path() const { return path_; }
    QString file(const QString &name) const { return path_ + name; }
    QString storePath() const { return file(QStringLiteral("websites.db")); }

    // The store as the programs open it, without a template unless given.
    std::unique_ptr<WebsiteDb> open(StoreSettings settings = {}) const
    {
        return std::make_unique<WebsiteDb>(path_, settings);
    }

    // A second, plain connection to websites.db, as another program would hold it.
    std::unique_ptr<SqliteConnection> raw() const { return std::make_unique<SqliteConnection>(storePath()); }

private:
    QTemporaryDir dir_;
    QString path_;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `work` in a forked child and returns what it wrote back. With
// `unprivileged`, the child first gives up root (file permissions do not
// bind root), so that a read-only folder is read-only for it. The child
// leaves with _exit: no destructor runs, as after a crash.
std::string inChild(const std::function<std::string()> &work, bool unprivileged = false);

} // namespace sentrel::testing
