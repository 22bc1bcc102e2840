#pragma once
// Fakes of what a check and a run need of the window and the store.
#include "check/checkports.h"
#include "check/checkurl.h"
#include "check/outcomepainter.h"
#include "check/runcommands.h"
#include "check/runports.h"
#include "storage/storeerror.h"
#include "storage/storesqlite.h"
#include "text/error.h"
#include "uimodel/urllistmodel.h"
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace sentrel::enginetest {

// The URL list of a test, addressed by position for brevity; the engine and
// the runs see only the model and its row ids.
class TestList {
public:
    TestList() = default;
    explicit TestList(const QStringList &urls)
    {
        for (const QString &u : urls)
            add(u);
    }
    RowId add(const QString &url, const QString &lastChange = {}, const QString &status = {})
    {
        return model.append({url, lastChange, status});
    }
    RowId id(int row) const { return model.idAt(row); }
    UrlListRow row(int row) const
    {
        const RowId at = id(row);
        return {model.url(at), model.lastChange(at), model.status(at)};
    }
    void remove(int row) { model.remove(id(row)); }
    void clear()
    {
        while (model.count() > 0)
            model.remove(id(0));
    }
    void select(int row) { selected.append(id(row)); }
    QStringList statuses() const
    {
        QStringList s;
        for (int i = 0; i < model.count(); ++i)
            s.append(model.status(id(i)));
        return s;
    }

    UrlListModel model;
    QList<RowId> selected;
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

// What the store holds for a URL checked before (or not yet, with an empty
// status).
inline WebsiteRecord storedAs(const QString &content, const QString &status, CheckOptions options = {})
{
    WebsiteRecord stored;
    stored.content = content;
    stored.status = status;
    stored.options = std::move(options);
    return stored;
}

// A store in memory; saves go to `rows` and to the `saves` record.
class FakeStore : public WebsiteRepository {
public:
    std::vector<ListedWebsite> DbLoadWebsites() override
    {
        std::vector<ListedWebsite> listed;
        for (const auto &[url, row] : rows)
            listed.push_back({url, row.lastChange.value_or(QString()), row.status.value_or(QString())});
        return listed;
    }
    void DbAddUrl(const QString &url) override { rows[url].url = url; }
    void deleteUrl(const QString &url) override { rows.erase(url); }
    int editUrl(const QString &targetUrl, const QString &newUrl, const WebsiteOptions &options) override
    {
        if (rows.erase(targetUrl) == 0)
            return 0;
        WebsiteRecord &edited = rows[newUrl];
        edited.url = newUrl;
        edited.options = options;
        return 1;
    }
    std::optional<WebsiteRecord> lookup(const QString &url) override
    {
        ++lookups;
        if (failLookup)
            throw StoreError(QStringLiteral("database is locked"), 5);
        const auto it = rows.find(url);
        if (it == rows.end())
            return std::nullopt;
        return it->second;
    }
    bool DbSaveWebsite(const QString &url, const QString &content, const QString &status,
                       std::optional<qint64> = std::nullopt) override
    {
        if (failSave)
            throw StoreError(QStringLiteral("disk I/O error"), 10);
        saves.push_back({url, content, status});
        rows[url].content = content;
        rows[url].status = status;
        return true;
    }

    std::map<QString, WebsiteRecord> rows;
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

// One check engine over the fakes above, its outcomes painted on the list
// and the display as the desktop does.
struct EngineFixture {
    TestList rows;
    FakeStore store;
    RecordingStoreErrors storeErrors;
    FakeDisplay display;
    OutcomePainter painter{rows.model, display};
    FakePreferences preferences;
    CountingPump pump;
    ScriptedLoader loader;
    FixedClock clock;
    QStringList changed; // the changed URLs of the checks made through check()
    CheckEngine engine{
        CheckServices{rows.model, store, storeErrors, painter, preferences, pump, loader, clock}};

    // One check as a run makes it: a saved change joins `changed`.
    CheckOutcome check(RowId row) { return recordChange(engine.check(row)); }
    CheckOutcome recordChange(const CheckOutcome &outcome)
    {
        if (outcome.changed)
            changed.append(outcome.url);
        return outcome;
    }
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
    void hideContentPanel() { events_.append(QStringLiteral("hide panel")); }
    void beep() { events_.append(QStringLiteral("beep")); }
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

// Checks by recording; per URL, what else happens in that check.
class FakeChecker : public RowChecker {
public:
    FakeChecker(UrlListModel &list, QStringList &events) : list_(list), events_(events) {}
    CheckOutcome check(RowId row) override
    {
        CheckOutcome outcome;
        outcome.row = row;
        outcome.url = list_.url(row);
        events_.append(QStringLiteral("check ") + outcome.url);
        list_.setStatus(row, QStringLiteral("OK"));
        outcome.status = QStringLiteral("OK");
        outcome.changed = changes.contains(outcome.url);
        if (const auto it = during.find(outcome.url); it != during.end())
            it->second();
        return outcome;
    }
    QStringList changes;
    std::map<QString, std::function<void()>> during;

private:
    UrlListModel &list_;
    QStringList &events_;
};

} // namespace sentrel::enginetest

namespace sentrel::enginetest {

// The runs of a window over a list, with every call of the window, the
// notifier and the checker in one record, as the desktop assembles them.
struct RunFixture {
    QStringList events;
    TestList rows;
    QStringList changed{QStringLiteral("left over from the last run")};
    CountingPump pump;
    FakeWindow window{events};
    FakeNotifier notifier{events};
    FakeChecker checker{rows.model, events};
    CheckRuns runs{RunServices{rows.model, [this] { return rows.selected; }, checker, pump, changed,
                               [this] { window.hideContentPanel(); }}};
    RunCommands commands{RunCommandServices{runs, window, notifier, [this] { window.beep(); }}};
};

} // namespace sentrel::enginetest
