#pragma once
#include <QString>

namespace sentrel {

// The folder that holds websites.db, settings.ini and exclusions.txt, ending in
// a separator: the executable's folder when a new file can be created there,
// otherwise the per-user data folder (created if missing).
QString ChooseDataFolder(const QString &executableDir);

// $XDG_DATA_HOME (or ~/.local/share) + "Orlith/Sentrel/".
QString PerUserDataFolder();

} // namespace sentrel
