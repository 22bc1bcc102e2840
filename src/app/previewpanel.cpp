#include "app/previewpanel.h"
#include "app/codeeditor.h"
#include "app/editmenu.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace sentrel {

PreviewPanel::PreviewPanel(QWidget *parent)
    : QWidget(parent), LabelUrl(new QLabel(QStringLiteral("http://"))), SynEditContent(new CodeEditor(true)),
      menu_(new EditMenu(SynEditContent))
{
    QFont bold = LabelUrl->font();
    bold.setBold(true);
    LabelUrl->setFont(bold);
    LabelUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(6, 4, 6, 4);
    header->setSpacing(6);
    header->addWidget(new QLabel(QStringLiteral("Content:")));
    header->addWidget(LabelUrl, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(SynEditContent, 1);
}

void PreviewPanel::showContent(const QString &url, const QString &content)
{
    LabelUrl->setText(url);
    SynEditContent->setPlainText(content);
    SynEditContent->moveCursor(QTextCursor::Start);
    SynEditContent->ensureCursorVisible();
}

void PreviewPanel::clear()
{
    LabelUrl->clear();
    SynEditContent->clear();
}

QString PreviewPanel::url() const
{
    return LabelUrl->text();
}

} // namespace sentrel
