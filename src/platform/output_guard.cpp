#include "platform/output_guard.h"

#include <QFile>

#include <sys/stat.h>

namespace gainbook {

namespace {

bool statOf(const QString& path, struct stat& st) {
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace

QString outputRefusal(const QString& path, const QVector<KeptFile>& keptFiles) {
    if (path.isEmpty())
        return QStringLiteral("no file name was given");
    struct stat target {};
    if (!statOf(path, target))
        return {}; // a new file (or one the write itself will fail on, and say why)
    if (S_ISDIR(target.st_mode))
        return QStringLiteral("it is a folder");
    if (S_ISCHR(target.st_mode) || S_ISBLK(target.st_mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISFIFO(target.st_mode) || S_ISSOCK(target.st_mode))
        return QStringLiteral("it is a pipe or socket, not a file");
    if (!S_ISREG(target.st_mode))
        return QStringLiteral("it is not a regular file");
    for (const KeptFile& kept : keptFiles) {
        struct stat st {};
        if (statOf(kept.path, st) && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
            return QStringLiteral("it is %1").arg(kept.what);
    }
    return {};
}

} // namespace gainbook
