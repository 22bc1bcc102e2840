#pragma once
// Stand-ins for the main window's objects that the dialogs act on.
#include "dialogs/editurl.h"
#include "storage/storeerror.h"
#include "storage/urllist.h"
#include "storage/websitedb.h"
#include "uimodel/messages.h"
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace sentrel::test {

struct ListRow {
    QString url, lastChange, status;
    bool selected = false;
};

// The URL list: rows with captions, two cells and a selection.
class ListRows : public UrlRows, public UrlRowRenamer {
public:
    int rowCount() const override { return int(rows.size()); }
    QString caption(int row) const override { return rows.at(size_t(row)).url; }
    bool isSelected(int row) const override { return rows.at(size_t(row)).selected; }
    void appendRow(const QString &url, const QString &lastChange, const QString &status) override
    {
        rows.push_back({url, lastChange, status});
    }
    void removeRow(int row) override { rows.erase(rows.begin() + row); }
    void renameRow(int row, const QString &url) override
    {
        ListRow &r = rows.at(size_t(row));
        r.url = url;
        r.lastChange.clear();
        r.status.clear();
    }
    void selectOnly(int row)
    {
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i].selected = int(i) == row;
    }
    std::vector<ListRow> rows;
};

class RecordedErrors : public StoreErrorSink {
public:
    void showStoreError(const QString &text) override { texts.append(text); }
    QStringList texts;
};

class RecordedBoxes : public MessageBoxes {
public:
    struct Shown {
        MessageKind kind;
        QString caption, text;
    };
    void showMessage(MessageKind kind, const QString &caption, const QString &text) override
    {
        shown.push_back({kind, caption, text});
    }
    int confirm(const ConfirmationRequest &request) override
    {
        asked.push_back(request);
        return answer;
    }
    std::vector<Shown> shown;
    std::vector<ConfirmationRequest> asked;
    int answer = dialogresult::No;
};

// A real store in a fresh data folder.
class TempStore {
public:
    TempStore() : folder_(dir_.path() + u'/'), db_(std::make_unique<WebsiteDb>(folder_, StoreSettings{})) {}
    const QString &folder() const { return folder_; }
    WebsiteDb &db() { return *db_; }
    void close() { db_.reset(); }
    WebsiteDb *get() { return db_.get(); }

private:
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<WebsiteDb> db_;
};

} // namespace sentrel::test
