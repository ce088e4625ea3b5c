#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gainbook::fuzz {

// The application object some Qt parts (plugins, the SQL drivers) want,
// made once for the whole run.
inline void startQt(int* argc, char*** argv) {
    static std::unique_ptr<QCoreApplication> app;
    if (!app)
        app = std::make_unique<QCoreApplication>(*argc, *argv);
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Text as the file readers decode it: UTF-8, or Latin-1 when it is not.
inline QString textOf(const uint8_t* data, size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Readers that take a path get the input as a file of this process.
inline QString inputFile(const QString& suffix) {
    return QDir::temp().filePath(
        QStringLiteral("gainbook-fuzz-%1.%2").arg(QCoreApplication::applicationPid()).arg(suffix));
}

inline bool writeInput(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

} // namespace gainbook::fuzz
