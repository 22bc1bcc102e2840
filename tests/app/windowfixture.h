#pragma once
#include "app/appenvironment.h"
#include "app/autostart.h"
#include "app/mainwindow.h"
#include "check/notifications.h"
#include "uimodel/messages.h"
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// The real main window over a temporary data folder, with the message boxes,
// file dialogs, shell and notification services answered by the test.
namespace sentrel::test {

class RecordingBoxes final : public MessageBoxes {
public:
    struct Shown {
        MessageKind kind;
        QString caption;
        QString text;
    };
    void showMessage(MessageKind kind, const QString &caption, const QString &text) override
    {
        messages.push_back({kind, caption, text});
    }
    int confirm(const ConfirmationRequest &request) override
    {
        confirmations.push_back(request);
        return answer;
    }
    // The notice joins `messages`. It is answered at once, like the other
    // boxes, unless the test leaves it open; while open, it takes each text.
    void showChangesNotice(const QString &caption, const QString &text) override
    {
        if (noticeOpen_) {
            messages[noticeIndex_].text = text;
            return;
        }
        noticeIndex_ = messages.size();
        messages.push_back({MessageKind::Information, caption, text});
        noticeOpen_ = leaveNoticesOpen;
    }
    bool changesNoticeOpen() const override { return noticeOpen_; }
    void answerNotice() { noticeOpen_ = false; }
    std::vector<Shown> messages;
    std::vector<ConfirmationRequest> confirmations;
    bool leaveNoticesOpen = false;
    int answer = dialogresult::OK;

private:
    bool noticeOpen_ = false;
    std::size_t noticeIndex_ = 0;
};

// Answers each file dialog with the next prepared path ("" = cancel).
class ScriptedFileDialogs final : public FileDialogs {
public:
    struct Asked {
        bool save;
        QString suffix;
        QString filter;
    };
    QString openFile(QWidget *, const QString &suffix, const QString &filter) override
    {
        asked.push_back({false, suffix, filter});
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFile(QWidget *, const QString &suffix, const QString &filter) override
    {
        asked.push_back({true, suffix, filter});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QStringList openAnswers;
    QStringList saveAnswers;
    std::vector<Asked> asked;
};

class RecordingShell final : public DesktopShell {
public:
    bool openUrl(const QString &url) override
    {
        opened.append(url);
        return !noBrowser;
    }
    QStringList opened;
    bool noBrowser = false;
};

// The notifications in the order they happen: "beep", "play:<file>", "open:<url>".
class RecordingPlatform final : public NotificationPlatform {
public:
    void beep() override { events.append(QStringLiteral("beep")); }
    bool fileExists(const QString &path) const override { return QFileInfo(path).isFile(); }
    void playSoundAsync(const QString &path) override { events.append(QStringLiteral("play:") + path); }
    void openUrl(const QString &url) override { events.append(QStringLiteral("open:") + url); }
    QStringList events;
};

class WindowFixture {
public:
    WindowFixture();

    // A new window over the same data folder (the previous one is closed first).
    TAppForm &start();
    void stop() { window_.reset(); }
    TAppForm &window() { return *window_; }

    QString dataFolder() const { return dir_.path() + QStringLiteral("/data/"); }
    QString path(const QString &name) const { return dir_.path() + u'/' + name; }
    // The settings file as it is on disk ("" when there is none).
    QString settingsText() const;
    void writeSettings(const QString &lines) const;

    // The rows' captions and cells.
    QStringList captions() const;
    QStringList statuses() const;
    void selectRows(std::initializer_list<int> rows);
    // A mouse click on a row of the list.
    void clickRow(int row);
    // Adds URLs as the user does: the Add URLs dialog with `text`, one URL a line.
    void addUrls(const QString &text);

    RecordingBoxes boxes;
    ScriptedFileDialogs files;
    RecordingShell shell;
    RecordingPlatform platform;
    QStringList arguments; // the command line of the next start
    int restarts = 0;      // Reset to Defaults' restarts

private:
    QTemporaryDir dir_;

public:
    // Autostart entries go to a folder of the test.
    XdgAutostart autostart{dir_.path() + QStringLiteral("/autostart")};

private:
    std::unique_ptr<TAppForm> window_;
};

} // namespace sentrel::test
