#pragma once
#include <QString>

// The read-only files the programs ship with: the Languages folder and the
// template store. A build folder or an unpacked archive keeps them next to
// the executables; an installed program (PREFIX/bin/sentrel) finds them in
// PREFIX/share/sentrel/.
namespace sentrel {

// PREFIX/share/sentrel for an executable folder PREFIX/bin, as installed.
QString InstalledFilesFolder(const QString &executableDir);

// True when the executables run from an installed tree: PREFIX/share/sentrel
// exists and the executable folder holds no template store of its own. Such a
// program never keeps its data in the executable folder, even when that
// folder happens to be writable (root running /usr/bin/sentrel).
bool IsInstalledProgram(const QString &executableDir);

struct ProgramFiles {
    QString languagesParent; // the folder that holds "Languages"; empty without an executable folder
    QString templatePath;    // the template store; empty without an executable folder
};

// Each file is looked for next to the executable first, then in the installed
// folder; when neither has it, the place next to the executable is named (the
// callers then behave as without the file).
ProgramFiles LocateProgramFiles(const QString &executableDir);

} // namespace sentrel
