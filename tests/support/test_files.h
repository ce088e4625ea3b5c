#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace gainbook::test {

// A file under tests/data, named relative to it.
inline QString testData(const QString& relative) {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA") + u'/' + relative;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file holds exactly these bytes afterwards, or the test cannot go on.
inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace gainbook::test
