#include "capture/sources/pasted_text.h"

#include "capture/sources/sheet_limits.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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
    const QByteArray bytes = file.read(kMaxSheetBytes + 1);
    if (bytes.size() > kMaxSheetBytes) {
        if (error)
            *error = tooLargeMessage(
                QStringLiteral("it holds more than %1 MB of text").arg(kMaxSheetBytes >> 20));
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

} // namespace gainbook
