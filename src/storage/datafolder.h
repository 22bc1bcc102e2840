#pragma once
#include <QString>

namespace sentrel {

// What choosing the data folder needs of the system; tests put a fake in its
// place to play a read-only folder or a missing home folder.
class DataFolderSystem {
public:
    virtual ~DataFolderSystem() = default;
    // Creates `path` as a new file (failing when anything exists there already),
    // exclusively, and deletes it again; true when the creation succeeded.
    virtual bool probeNewFile(const QString &path) = 0;
    // The folder under which per-user application data lives: on Windows the
    // roaming application-data folder, elsewhere $XDG_DATA_HOME when it is an
    // absolute path, else ~/.local/share. Empty when it cannot be found.
    virtual QString userDataRoot() = 0;
    // Creates the folder and its parents; failures are ignored (it may exist).
    virtual void makeFolder(const QString &path) = 0;
};

// The operating system's side of DataFolderSystem.
class SystemDataFolder : public DataFolderSystem {
public:
    bool probeNewFile(const QString &path) override;
    QString userDataRoot() override;
    void makeFolder(const QString &path) override;
};

// The name of the file whose creation tells that a folder is writable.
inline constexpr char16_t ProbeFileName[] = u"chk.tmp";

// The folder that holds websites.db, settings.ini and exclusions.txt, ending in
// a separator: the executable's folder when a new file can be created there
// and the program is not an installed one (programfiles.h), otherwise the
// per-user data folder (created if missing).
QString ChooseDataFolder(const QString &executableDir);
QString ChooseDataFolder(const QString &executableDir, DataFolderSystem &system);

// userDataRoot() + "Orlith/Sentrel/" (company and product name of the version
// record), created if missing. Without a root the two names hang off the
// file system's root.
QString PerUserDataFolder();
QString PerUserDataFolder(DataFolderSystem &system);

// The data folder a command-line user asked for with --data (made absolute,
// ending in a separator), or the desktop program's choice when none was given.
QString DataFolderFromOption(const QString &dataOption, const QString &executableDir);

} // namespace sentrel
