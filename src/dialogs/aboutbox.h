#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace sentrel {

// "&About..." and the toolbar's "About": product name, version, copyright
// and the libraries the program is built on.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(const QString &productName, const QString &versionText, const QString &copyright,
              QWidget *parent = nullptr);

    QLabel *ProductLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *CreditsLabel = nullptr;
    QPushButton *OkButton = nullptr;
};

// The credits: one line per library.
QString aboutCredits();

// Opens the about box modally; freed when it closes.
void About1Click(const QString &productName, const QString &versionText, const QString &copyright,
                 QWidget *parent);

} // namespace sentrel
