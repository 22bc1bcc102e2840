#pragma once
// Fakes of what a check and a run need of the window and the store.
#include "check/checkports.h"
#include "check/checkstore.h"
#include "check/checkurl.h"
#include "check/runports.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "text/error.h"
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace sentrel::enginetest {

struct FakeRow {
    QString url;
    QString lastChange;
    QString status;
    bool selected = false;

    static FakeRow of(QString url, QString lastChange = {}, QString status = {})
    {
        return FakeRow{std::move(url), std::move(lastChange), std::move(status), false};
    }
};

class FakeRows : public CheckRows {
public:
    FakeRows() = default;
    explicit FakeRows(const QStringList &urls)
    {
        for (const QString &u : urls)
            rows.push_back(FakeRow::of(u));
    }
    int rowCount() const override { return int(rows.size()); }
    QString caption(int row) const override { return rows.at(size_t(row)).url; }
    bool isSelected(int row) const override { return rows.at(size_t(row)).selected; }
    void setLastChange(int row, const QString &text) override { rows.at(size_t(row)).lastChange = text; }
    void setStatus(int row, const QString &text) override { rows.at(size_t(row)).status = text; }

    void remove(int row) { rows.erase(rows.begin() + row); }
    QStringList statuses() const
    {
        QStringList s;
        for (const FakeRow &r : rows)
            s.append(r.status);
        return s;
    }

    std::vector<FakeRow> rows;
};

class FakeDisplay : public CheckDisplay {
public:
    void setStatusText(const QString &text) override
    {
        statusText = text;
        statusHistory.append(text);
    }
    void appendLog(const QString &line) override { log.append(line); }

    QString statusText;
    QStringList statusHistory;
    QStringList log;
};

class FakePreferences : public CheckPreferences {
public:
    StripMethod stripMethod() const override { return method; }
    const QStringList &exclusions() const override { return exclusionList; }

    StripMethod method = StripMethod::StringBuilder;
    QStringList exclusionList;
};

struct Saved {
    QString url, content, status;
    bool operator==(const Saved &) const = default;
};

// A store in memory; saves go to `rows` and to the `saves` record.
class FakeStore : public CheckStore {
public:
    std::optional<StoredCheck> lookup(const QString &url) override
    {
        ++lookups;
        if (failLookup)
            throw StoreError(QStringLiteral("database is locked"), 5);
        const auto it = rows.find(url);
        if (it == rows.end())
            return std::nullopt;
        return it->second;
    }
    bool save(const QString &url, std::optional<qint64>, const QString &content,
              const QString &status) override
    {
        if (failSave)
            throw StoreError(QStringLiteral("disk I/O error"), 10);
        saves.push_back({url, content, status});
        rows[url].content = content;
        rows[url].status = status;
        return true;
    }

    std::map<QString, StoredCheck> rows;
    std::vector<Saved> saves;
    int lookups = 0;
    bool failLookup = false;
    bool failSave = false;
};

class RecordingStoreErrors : public StoreErrorSink {
public:
    void showStoreError(const QString &text) override { texts.append(text); }
    QStringList texts;
};

// Pages by URL; a page whose text starts with "!" fails with the rest as message.
class ScriptedLoader : public PageLoader {
public:
    QString load(const QString &url) override
    {
        requested.append(url);
        if (duringLoad)
            duringLoad();
        const QString page = pages.value(url);
        if (page.startsWith(u'!'))
            throw Error(page.mid(1));
        return page;
    }
    QHash<QString, QString> pages;
    QStringList requested;
    std::function<void()> duringLoad;
};

class CountingPump : public EventPump {
public:
    void letMessagesThrough() override
    {
        ++count;
        if (onPump)
            onPump();
    }
    int count = 0;
    std::function<void()> onPump;
};

class FixedClock : public Clock {
public:
    QDateTime localNow() const override { return now; }
    QDateTime now{QDate(2024, 3, 7), QTime(9, 5, 3)};
};

// One check engine over the fakes above.
struct EngineFixture {
    FakeRows rows;
    FakeStore store;
    RecordingStoreErrors storeErrors;
    FakeDisplay display;
    FakePreferences preferences;
    CountingPump pump;
    ScriptedLoader loader;
    FixedClock clock;
    QStringList changed;
    CheckEngine engine{
        CheckServices{rows, store, storeErrors, display, preferences, pump, loader, clock, changed}};
};

// The window's side of a run, with every call in one record.
class FakeWindow : public RunWindow {
public:
    explicit FakeWindow(QStringList &events) : events_(events) {}
    void setStatusText(const QString &text) override
    {
        statusText = text;
        events_.append(QStringLiteral("status ") + text);
    }
    void hideContentPanel() override { events_.append(QStringLiteral("hide panel")); }
    void beep() override { events_.append(QStringLiteral("beep")); }
    void showError(const QString &message) override { events_.append(QStringLiteral("error ") + message); }
    QString statusText;

private:
    QStringList &events_;
};

class FakeNotifier : public ChangeNotifier {
public:
    explicit FakeNotifier(QStringList &events) : events_(events) {}
    void ActionsUygula(const QStringList &changedUrls) override
    {
        events_.append(QStringLiteral("notify ") + changedUrls.join(u','));
        if (onNotify)
            onNotify();
    }
    std::function<void()> onNotify;

private:
    QStringList &events_;
};

// Checks by recording; per row position, what else happens in that check.
class FakeChecker : public RowChecker {
public:
    FakeChecker(FakeRows &rows, QStringList &changed, QStringList &events)
        : rows_(rows), changed_(changed), events_(events)
    {
    }
    void CheckURL(int index) override
    {
        const QString url = rows_.caption(index);
        events_.append(QStringLiteral("check ") + url);
        rows_.setStatus(index, QStringLiteral("OK"));
        if (changes.contains(url))
            changed_.append(url);
        if (const auto it = during.find(url); it != during.end())
            it->second();
    }
    QStringList changes;
    std::map<QString, std::function<void()>> during;

private:
    FakeRows &rows_;
    QStringList &changed_;
    QStringList &events_;
};

} // namespace sentrel::enginetest
