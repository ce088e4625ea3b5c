#pragma once

#include <QString>
#include <QVector>

namespace gainbook {

// Why an export may not write to path, or an empty text when it may. The path
// must name a regular file or nothing yet (a device, a folder, a pipe would
// be replaced by the rename that finishes the write, or never take it), and
// never one of the files the program keeps (its database and the backup):
// those are compared by identity, device and inode, so another name of the
// same file, a hard link or a symbolic link to it is refused as well.
struct KeptFile {
    QString path;
    QString what; // "the open database": the refusal says "it is the open database"
};

QString outputRefusal(const QString& path, const QVector<KeptFile>& keptFiles);

} // namespace gainbook
