#include "platform/installed_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace gainbook {

namespace {

// From the programs' folder to the folders of the installed data and
// helpers, as the build was configured (GNU install directories).
#ifndef GAINBOOK_PROGRAMS_TO_DATA
#define GAINBOOK_PROGRAMS_TO_DATA "../share/gainbook"
#endif
#ifndef GAINBOOK_PROGRAMS_TO_HELPERS
#define GAINBOOK_PROGRAMS_TO_HELPERS "../libexec/gainbook"
#endif

// The folder of the desktop's data folders that belongs to Gainbook.
const QString kDataSubfolder = QStringLiteral("gainbook");

QString under(const QString& folder, const QString& relative) {
    return QDir::cleanPath(QDir(folder).filePath(relative));
}

void addOnce(QStringList& list, const QString& path) {
    if (!path.isEmpty() && !list.contains(path))
        list << path;
}

} // namespace

QStringList helpFolderCandidates(const QString& programDirectory, const QString& currentDirectory) {
    QStringList folders;
    if (!programDirectory.isEmpty()) {
        addOnce(folders, under(programDirectory, kHelpFolderName));
        addOnce(folders, under(under(programDirectory, QStringLiteral(GAINBOOK_PROGRAMS_TO_DATA)),
                               kHelpFolderName));
    }
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        addOnce(folders, under(data, kHelpFolderName));
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        addOnce(folders, under(under(data, kDataSubfolder), kHelpFolderName));
    if (!currentDirectory.isEmpty())
        addOnce(folders, under(currentDirectory, kHelpFolderName));
    return folders;
}

QString findHelpFolder(const QString& programDirectory, const QString& currentDirectory) {
    for (const QString& folder : helpFolderCandidates(programDirectory, currentDirectory)) {
        if (QFileInfo(QDir(folder).filePath(kHelpMarkerPage)).isFile())
            return folder;
    }
    return {};
}

QStringList helperProgramCandidates(const QString& programDirectory, const QString& name) {
    QStringList programs;
    addOnce(programs, under(programDirectory, name));
    addOnce(programs,
            under(under(programDirectory, QStringLiteral(GAINBOOK_PROGRAMS_TO_HELPERS)), name));
    return programs;
}

QString findHelperProgram(const QString& programDirectory, const QString& name) {
    const QStringList programs = helperProgramCandidates(programDirectory, name);
    for (const QString& program : programs) {
        const QFileInfo info(program);
        if (info.isFile() && info.isExecutable())
            return program;
    }
    return programs.constFirst();
}

} // namespace gainbook
