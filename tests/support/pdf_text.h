#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace gainbook::test {

// The text of a PDF as pdftotext reads it, its layout kept; a null text
// when the tool is missing (the caller skips) or fails.
inline QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("pdftotext failed: ") +
               QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool hasPdfText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace gainbook::test
