#pragma once
#include "storage/websiterepository.h"
#include "uimodel/urllistmodel.h"
#include <QDialog>
#include <QList>
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

// What a dialog acts on; all of it belongs to the main window and outlives
// the dialog.
// A successful OK renames the list row (UrlListModel::rename: the new
// caption, empty "Last Change" and "Status" cells).
struct EditUrlContext {
    UrlListModel &list;
    std::function<QList<RowId>()> selection; // the selected rows, any order
    // The record lookup at opening and the change on OK (editUrl); both
    // throw StoreError when they fail, the change a plain Error when it
    // refuses a URL that another row holds.
    WebsiteRepository &store;
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
    void setTarget(RowId row, const QString &url);
    RowId targetRow() const { return targetRow_; }
    const QString &targetUrl() const { return targetUrl_; }

    // The controls' state as OK stores it: an option that is off has no
    // value (NULL in the store), line bounds as lineNumberAsEdited reads the
    // spin boxes' text.
    WebsiteOptions options() const;
    // A text option with a value checks its box; the fields of an option
    // that is off keep the form's defaults. setTarget shows the stored
    // options through optionsAsEdited.
    void setOptions(const WebsiteOptions &options);
    QString url() const;

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
    std::optional<RowId> rowOfTarget() const;

    EditUrlContext context_;
    RowId targetRow_ = 0; // 0: none
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
