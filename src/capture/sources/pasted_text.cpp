#include "capture/sources/pasted_text.h"

#include "capture/sources/sheet_limits.h"

#include <QFile>
#include <QFileInfo>

namespace gainbook {

std::optional<QString> loadPastedText(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = QFileInfo::exists(path)
                         ? QStringLiteral("Cannot read %1: %2").arg(path, file.errorString())
                         : QStringLiteral("File not found: %1").arg(path);
        }
        return std::nullopt;
    }
    std::optional<QString> read = readBoundedText(file, error);
    if (!read)
        return std::nullopt;
    QString text = std::move(*read);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

} // namespace gainbook
