#pragma once
// Stand-ins for the main window's objects that the dialogs act on.
#include "dialogs/editurl.h"
#include "storage/storeaccess.h"
#include "storage/storeerror.h"
#include "storage/websitedb.h"
#include "uimodel/messages.h"
#include "uimodel/urllistmodel.h"
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace sentrel::test {

// The URL list of the main window: its model and a selection, addressed
// by position for brevity.
class ListRows {
public:
    void appendRow(const QString &url, const QString &lastChange, const QString &status)
    {
        model.append({url, lastChange, status});
    }
    void removeRow(int row) { model.remove(model.idAt(row)); }
    int rowCount() const { return model.count(); }
    UrlListRow row(int row) const
    {
        const RowId id = model.idAt(row);
        return {model.url(id), model.lastChange(id), model.status(id)};
    }
    void selectOnly(int row) { selected = {model.idAt(row)}; }
    void select(int row) { selected.append(model.idAt(row)); }
    std::function<QList<RowId>()> selection()
    {
        return [this] { return selected; };
    }

    UrlListModel model;
    QList<RowId> selected;
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

// A real store in a fresh data folder, reached as the window reaches its
// own: close() leaves it as a window whose store could not be opened.
class TempStore {
public:
    TempStore() : folder_(dir_.path() + u'/')
    {
        access_.attach(std::make_unique<WebsiteDb>(folder_, StoreSettings{}));
    }
    const QString &folder() const { return folder_; }
    WebsiteDb &db() { return *access_.db(); }
    void close() { access_.attach(nullptr); }
    WebsiteDb *get() { return access_.db(); }
    StoreAccess &access() { return access_; }

private:
    QTemporaryDir dir_;
    QString folder_;
    StoreAccess access_;
};

} // namespace sentrel::test
