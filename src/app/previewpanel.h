#pragma once
#include "app/elidedlabel.h"
#include <QWidget>
#include <memory>

class QLabel;
class QStackedWidget;
class QTabBar;

// The content preview panel: "Content:", the URL in bold, and two views of
// the URL: "Text", an editor with its stored text (nothing typed there is
// saved), and "Changes", its newest change against the version before.
namespace sentrel {

class CodeEditor;
class DiffView;
class EditMenu;
class SnapshotComparer;
class StoreAccess;

class PreviewPanel final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget *parent = nullptr);
    ~PreviewPanel() override;

    // Where the Changes view reads the URL's history; it stays empty until
    // this is called. `store` outlives the panel.
    void attachStore(StoreAccess &store);

    // The URL in the header, the text in the editor, the caret on the first
    // line; the Changes view follows (read when it is shown, so that
    // clicking through the list does not compare texts nobody looks at).
    void showContent(const QString &url, const QString &content);
    // ContentPanelGizle's part: header and both views emptied.
    void clear();

    QString url() const;
    // The header's URL, shortened in the middle to the room it has.
    QLabel *urlLabel() const { return LabelUrl; }
    CodeEditor *editor() const { return SynEditContent; }
    EditMenu *editMenu() const { return menu_; }
    // "Text" and "Changes", in that order.
    QTabBar *viewTabs() const { return tabs_; }
    DiffView *changesView() const { return changes_; }

    enum View { TextView, ChangesView };

private:
    void showChangesIfDue();

    ElidedLabel *LabelUrl;
    CodeEditor *SynEditContent;
    EditMenu *menu_;
    QTabBar *tabs_;
    QStackedWidget *views_;
    DiffView *changes_;
    std::unique_ptr<SnapshotComparer> comparer_;
    bool changesDue_ = false; // the URL changed since the Changes view was filled
};

} // namespace sentrel
