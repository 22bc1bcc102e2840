#pragma once
#include <QMenu>

class QPlainTextEdit;

// The editing menu of a text pane: "Undo", "Cut", "Copy", "Paste",
// "Delete", "Select All". Every item acts on the pane that owns the menu,
// whichever widget had the focus last.
namespace sentrel {

class EditMenu final : public QMenu {
    Q_OBJECT
public:
    // Becomes the pane's context menu.
    explicit EditMenu(QPlainTextEdit *pane);

    QAction *undoAction() const { return undo_; }
    QAction *cutAction() const { return cut_; }
    QAction *copyAction() const { return copy_; }
    QAction *pasteAction() const { return paste_; }
    QAction *deleteAction() const { return delete_; }
    QAction *selectAllAction() const { return selectAll_; }

private:
    QAction *undo_;
    QAction *cut_;
    QAction *copy_;
    QAction *paste_;
    QAction *delete_;
    QAction *selectAll_;
};

} // namespace sentrel
