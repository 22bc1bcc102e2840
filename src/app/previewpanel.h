#pragma once
#include <QWidget>

class QLabel;

// The content preview panel: "Content:", the URL in bold, and an editor
// with the URL's stored text. Nothing typed there is saved.
namespace sentrel {

class CodeEditor;
class EditMenu;

class PreviewPanel final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget *parent = nullptr);

    // The URL in the header, the text in the editor, the caret on the first line.
    void showContent(const QString &url, const QString &content);
    // ContentPanelGizle's part: header and editor emptied.
    void clear();

    QString url() const;
    CodeEditor *editor() const { return SynEditContent; }
    EditMenu *editMenu() const { return menu_; }

private:
    QLabel *LabelUrl;
    CodeEditor *SynEditContent;
    EditMenu *menu_;
};

} // namespace sentrel
