#pragma once
#include <QString>
#include <QStringList>

// Reset to Defaults: wipe the three data files and start the program again.
namespace sentrel {

class MessageBoxes;
class Translator;

// What Reset to Defaults needs of the main window and the platform.
class ResetActions {
public:
    virtual ~ResetActions() = default;
    virtual void clearStartupComplete() = 0; // no window geometry is written from now on
    virtual void closeStore() = 0;
    virtual void processPendingEvents() = 0;
    virtual void restartExecutable() = 0; // no arguments; a failure is not reported
    virtual void quit() = 0;              // tell the application to end
};

// The files Reset to Defaults deletes, in order: the store (with the journal
// files SQLite keeps beside it), the exclusion list, the settings file.
QStringList resetFiles(const QString &dataFolder);

// ResettoDefaults1Click: asks the restart question; on Yes clears the flag,
// closes the store, deletes the files (one that cannot be deleted is
// skipped), lets pending events through, restarts and ends. Returns whether
// the reset was carried out.
bool resetToDefaults(MessageBoxes &boxes, const Translator &translator, const QString &dataFolder,
                     ResetActions &actions);

// Starts the running executable again, detached, without arguments.
void restartRunningExecutable();

} // namespace sentrel

namespace sentrel {

// The instance marker: the named mutex "ORLITH_Sentrel", held for the life
// of the process. Its result is never examined (a second instance runs
// normally); it exists for installers and tools that look for a running
// program. Other systems have no such convention, so nothing is held there.
class InstanceMarker {
public:
    InstanceMarker();
    ~InstanceMarker();
    InstanceMarker(const InstanceMarker &) = delete;
    InstanceMarker &operator=(const InstanceMarker &) = delete;

private:
    [[maybe_unused]] void *handle_ = nullptr;
};

} // namespace sentrel
