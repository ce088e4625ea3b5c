#include "cli/pdf_helper.h"

#include "platform/installed_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace gainbook {

namespace {

QString helperPath() {
    const QString named = qEnvironmentVariable("GAINBOOK_PDF_WRITER");
    if (!named.isEmpty())
        return named;
    return findHelperProgram(QCoreApplication::applicationDirPath(), kPdfWriterProgram);
}

} // namespace

QString printPdfThroughHelper(const QVector<PrintLine>& lines, const QString& path,
                              Progress& progress) {
    // The helper tells nothing until it is done and has written the file:
    // the tool's progress moves before it starts and once it has ended.
    progress.step(0, 1);
    const QString program = helperPath();
    if (!QFileInfo(program).isExecutable())
        return QStringLiteral("the PDF helper program %1 is missing").arg(program);

    QProcess helper;
    // The graphics library's own notes (fonts, runtime folders) stay out of
    // the tool's errors unless asked for.
    helper.setProcessChannelMode(qEnvironmentVariableIsSet("GAINBOOK_DEBUG")
                                     ? QProcess::ForwardedErrorChannel
                                     : QProcess::SeparateChannels);
    // An absolute name, so that the helper writes where the tool was asked
    // to whatever its own directory.
    helper.start(program, {QFileInfo(path).absoluteFilePath()});
    if (!helper.waitForStarted())
        return QStringLiteral("%1 could not be started (%2)").arg(program, helper.errorString());
    helper.write(printLinesToText(lines));
    helper.closeWriteChannel();
    helper.waitForFinished(-1);
    const QString answer = QString::fromUtf8(helper.readAllStandardOutput()).trimmed();
    if (helper.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("%1 stopped unexpectedly").arg(program);
    if (helper.exitCode() != 0)
        return answer.isEmpty()
                   ? QStringLiteral("%1 ended with code %2").arg(program).arg(helper.exitCode())
                   : answer;
    progress.step(1, 1);
    return {};
}

} // namespace gainbook
