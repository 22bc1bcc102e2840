#include "app/platformservices.h"
#include "app/filefilter.h"
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace sentrel {

namespace {

QString runDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &defaultSuffix,
                  const QString &filter)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setNameFilter(qtFileFilter(filter));
    // Asks before overwriting unless told not to.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

} // namespace

QString QtFileDialogs::openFile(QWidget *parent, const QString &defaultSuffix, const QString &filter)
{
    return runDialog(parent, QFileDialog::AcceptOpen, defaultSuffix, filter);
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &defaultSuffix, const QString &filter)
{
    return runDialog(parent, QFileDialog::AcceptSave, defaultSuffix, filter);
}

bool QtDesktopShell::openUrl(const QString &url)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

QtNotificationPlatform::QtNotificationPlatform(DesktopShell &shell) : shell_(shell) {}

QtNotificationPlatform::~QtNotificationPlatform() = default;

void QtNotificationPlatform::beep()
{
    QApplication::beep();
}

bool QtNotificationPlatform::fileExists(const QString &path) const
{
    return QFileInfo(path).isFile();
}

void QtNotificationPlatform::playSoundAsync(const QString &path)
{
    // One effect at a time: a new change notice replaces the sound still playing.
    sound_ = std::make_unique<QSoundEffect>();
    sound_->setSource(QUrl::fromLocalFile(path));
    sound_->play();
}

} // namespace sentrel
