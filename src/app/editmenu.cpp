#include "app/editmenu.h"
#include <QPlainTextEdit>

namespace sentrel {

EditMenu::EditMenu(QPlainTextEdit *pane) : QMenu(pane)
{
    undo_ = addAction(QStringLiteral("Undo"), pane, &QPlainTextEdit::undo);
    addSeparator();
    cut_ = addAction(QStringLiteral("Cut"), pane, &QPlainTextEdit::cut);
    copy_ = addAction(QStringLiteral("Copy"), pane, &QPlainTextEdit::copy);
    paste_ = addAction(QStringLiteral("Paste"), pane, &QPlainTextEdit::paste);
    delete_ = addAction(QStringLiteral("Delete"), pane, [pane] { pane->textCursor().removeSelectedText(); });
    addSeparator();
    selectAll_ = addAction(QStringLiteral("Select All"), pane, &QPlainTextEdit::selectAll);

    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint &at) {
        const bool hasSelection = pane->textCursor().hasSelection();
        undo_->setEnabled(pane->document()->isUndoAvailable());
        cut_->setEnabled(hasSelection && !pane->isReadOnly());
        copy_->setEnabled(hasSelection);
        paste_->setEnabled(pane->canPaste());
        delete_->setEnabled(hasSelection && !pane->isReadOnly());
        popup(pane->mapToGlobal(at));
    });
}

} // namespace sentrel
