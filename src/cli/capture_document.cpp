#include "cli/capture_document.h"

#include "capture/page_document_json.h"
#include "platform/installed_files.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace gainbook {

namespace {

DocumentOpen toolFailed(QString& error, const QString& why) {
    error = QStringLiteral("The page could not be loaded: %1").arg(why);
    return DocumentOpen::ToolFailed;
}

#ifdef GAINBOOK_WITH_PAGE_SNAPSHOT
QString helperPath() {
    const QString named = qEnvironmentVariable("GAINBOOK_PAGE_SNAPSHOT");
    if (!named.isEmpty())
        return named;
    return findHelperProgram(QCoreApplication::applicationDirPath(), kPageSnapshotProgram);
}

DocumentOpen loadThroughHelper(const QString& source, int stallMs, PageDocument& document,
                               QString& error) {
    const QString program = helperPath();
    if (!QFileInfo(program).isExecutable())
        return toolFailed(error, QStringLiteral("the helper program %1 is missing.").arg(program));

    QProcess helper;
    // The browser engine's own notes go where the tool's errors go.
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments;
    if (stallMs > 0)
        arguments << QStringLiteral("--timeout") << QString::number(stallMs / 1000.0);
    helper.start(program, arguments << source);
    helper.closeWriteChannel();
    if (!helper.waitForStarted())
        return toolFailed(
            error,
            QStringLiteral("%1 could not be started (%2).").arg(program, helper.errorString()));
    // No total limit: the helper gives up by itself once the page stops
    // making progress, and a large page on a busy machine may take long.
    helper.waitForFinished(-1);
    const QByteArray answer = helper.readAllStandardOutput();
    if (helper.exitStatus() != QProcess::NormalExit)
        return toolFailed(error, QStringLiteral("%1 stopped unexpectedly.").arg(program));
    const QString message = QString::fromUtf8(answer).trimmed();
    if (helper.exitCode() == 1 && !message.isEmpty()) {
        // The helper's message about the source, as the screen would give it.
        error = message;
        return DocumentOpen::SourceFailed;
    }
    if (helper.exitCode() != 0)
        return toolFailed(
            error, QStringLiteral("%1 ended with code %2.").arg(program).arg(helper.exitCode()));
    QString why;
    auto loaded = pageDocumentFromJson(answer, &why);
    if (!loaded)
        return toolFailed(error, QStringLiteral("the answer of %1 is %2.").arg(program, why));
    document = std::move(*loaded);
    return DocumentOpen::Opened;
}
#endif

} // namespace

DocumentOpen openCaptureDocument(const CaptureSource& source, const QString& given,
                                 PageDocument& document, QString& error, int stallMs) {
    switch (source.kind) {
    case CaptureSource::Kind::Sheet: {
        auto sheet = openSheetDocument(source, &error);
        if (!sheet)
            return DocumentOpen::SourceFailed;
        document = std::move(*sheet);
        return DocumentOpen::Opened;
    }
    case CaptureSource::Kind::None:
    case CaptureSource::Kind::PastedText:
        error = QStringLiteral("No page or spreadsheet named: %1").arg(source.shown);
        return DocumentOpen::SourceFailed;
    case CaptureSource::Kind::Page:
    case CaptureSource::Kind::Address:
        break;
    }
#ifdef GAINBOOK_WITH_PAGE_SNAPSHOT
    return loadThroughHelper(given, stallMs, document, error);
#else
    Q_UNUSED(given);
    Q_UNUSED(stallMs);
    Q_UNUSED(document);
    return toolFailed(error, QStringLiteral("HTML capture is not available in this build, which "
                                            "was made without the browser engine. Capture a "
                                            "spreadsheet (.csv, .xls, .xlsx) or use --paste."));
#endif
}

} // namespace gainbook
