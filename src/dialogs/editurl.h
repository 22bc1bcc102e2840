#pragma once
#include "storage/storeoptions.h"
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace sentrel {

class MessageBoxes;
class StoreErrorSink;
class StoreRow;
class UrlRows;
class WebsiteDb;

// The store operations the options dialog uses: the row lookup at opening
// and the change on OK (WebsiteDb::editUrl). Both throw StoreError when they
// fail; the change throws a plain Error when it refuses a URL that another
// row holds.
class EditUrlStore {
public:
    virtual ~EditUrlStore() = default;
    virtual std::optional<StoreRow> lookupRow(const QString &url) = 0;
    virtual int editUrl(const QString &targetUrl, const QString &newUrl, const EditUrlOptions &options) = 0;
};

// EditUrlStore over the main window's connection, which may be missing when
// start-up could not open the store: every call then fails like a statement.
class WebsiteDbEditStore final : public EditUrlStore {
public:
    explicit WebsiteDbEditStore(std::function<WebsiteDb *()> db) : db_(std::move(db)) {}
    std::optional<StoreRow> lookupRow(const QString &url) override;
    int editUrl(const QString &targetUrl, const QString &newUrl, const EditUrlOptions &options) override;

private:
    WebsiteDb &db() const;
    std::function<WebsiteDb *()> db_;
};

// Renames a list row after a successful OK: the new caption, and empty
// "Last Change" and "Status" cells.
class UrlRowRenamer {
public:
    virtual ~UrlRowRenamer() = default;
    virtual void renameRow(int row, const QString &url) = 0;
};

// What a dialog acts on; all of it belongs to the main window and outlives
// the dialog.
struct EditUrlContext {
    const UrlRows &rows;
    UrlRowRenamer &renamer;
    EditUrlStore &store;
    StoreErrorSink &errors;
};

// The per-URL options dialog. Modeless; every opening makes a new dialog
// with its own target, so OK in one never writes to another URL's row.
class TFormEditURL : public QDialog {
    Q_OBJECT
public:
    TFormEditURL(EditUrlContext context, QWidget *parent = nullptr);

    // Sets the editing target and fills the controls from the target's row
    // (the store error message first when the lookup fails).
    void setTarget(int rowIndex, const QString &url);
    int targetRow() const { return targetRow_; }
    const QString &targetUrl() const { return targetUrl_; }

    // The controls' state as the dialog would store it.
    EditUrlOptions options() const;
    void setOptions(const EditUrlOptions &options);
    QString url() const;

    // The statement OK has the store execute (unless it refuses the URL).
    QString updateSql() const;

    // Named as the form's controls, for the window and the tests.
    QLineEdit *Edit1 = nullptr;     // URL
    QCheckBox *CheckBox1 = nullptr; // Strip HTML
    QCheckBox *CheckBox5 = nullptr; // Line Range
    QLabel *LabelStart = nullptr;
    QSpinBox *SpinEdit1 = nullptr;
    QLabel *LabelStop = nullptr;
    QSpinBox *SpinEdit2 = nullptr;
    QCheckBox *CheckBox2 = nullptr; // Keyword
    QLineEdit *Edit2 = nullptr;
    QCheckBox *CheckBox3 = nullptr; // XPath
    QLineEdit *Edit3 = nullptr;
    QCheckBox *CheckBox4 = nullptr; // RegEx
    QLineEdit *Edit4 = nullptr;
    QPushButton *Button1 = nullptr; // OK
    QPushButton *Button2 = nullptr; // Cancel

public Q_SLOTS:
    void Button1Click();
    void Button2Click();

private:
    void FormCreate();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    // The row that now holds the target URL: the target row when it still
    // does, else the first row with that caption; none when it vanished.
    std::optional<int> rowOfTarget() const;

    EditUrlContext context_;
    int targetRow_ = -1;
    QString targetUrl_;
};

// "Edit...": a new dialog on the first selected row, shown modeless; null
// when no row is selected. The dialog deletes itself when closed.
TFormEditURL *EditURL1Click(const EditUrlContext &context, QWidget *parent);

// Toolbar "Edit": as EditURL1Click, but warns "No item selected!" first.
TFormEditURL *ToolButton8Click(const EditUrlContext &context, MessageBoxes &boxes, QWidget *parent);

// The hints of the XPath and RegEx fields: "Example:", CR, the example.
QString xpathHint();
QString regexHint();

} // namespace sentrel
