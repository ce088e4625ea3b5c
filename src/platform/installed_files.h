#pragma once

#include <QString>
#include <QStringList>

namespace gainbook {

// Where the files that ship with the programs stand. The same rules serve
// the build tree (programs in build/bin, the pages copied beside them as an
// installation would have them) and an installation under any prefix: every
// place is relative to the folder of the running program, so an installed
// tree can be moved or unpacked anywhere.

// The name of the help pages' folder.
inline const QString kHelpFolderName = QStringLiteral("docs");

// The page whose presence marks a folder as the help pages' folder.
inline const QString kHelpMarkerPage = QStringLiteral("usrguid.htm");

// The folders tried for the help pages, best first: beside the program, the
// installed data folder relative to it, the per-user and system data folders
// of the desktop (QStandardPaths), and last the current folder.
QStringList helpFolderCandidates(const QString& programDirectory, const QString& currentDirectory);

// The first candidate that holds the help pages, or an empty text.
QString findHelpFolder(const QString& programDirectory, const QString& currentDirectory);

// The places tried for a helper program (named without a folder): beside
// the program, then the installed helpers' folder relative to it.
QStringList helperProgramCandidates(const QString& programDirectory, const QString& name);

// The first candidate that is an executable file, or the first candidate
// when none is (so that a message can name where it was looked for).
QString findHelperProgram(const QString& programDirectory, const QString& name);

} // namespace gainbook
