#include "capture/capture_source.h"

#include "capture/sources/spreadsheet_reader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace gainbook {

namespace {

CaptureSource localSource(const QString& path, const QString& shown) {
    CaptureSource source;
    const QFileInfo file(path);
    source.path = file.absoluteFilePath();
    source.url = QUrl::fromLocalFile(source.path);
    source.shown = shown;
    source.kind = isSpreadsheetFile(source.path) && !file.isDir() ? CaptureSource::Kind::Sheet
                                                                  : CaptureSource::Kind::Page;
    return source;
}

// "welcome.html", "history.csv", "./history": a name the user means as a
// file even when it is not there, so loading it can say it is missing.
bool looksLikeFileName(const QString& text) {
    static const QRegularExpression relative(QStringLiteral(R"(^\.\.?[/\\])"));
    if (relative.match(text).hasMatch())
        return true;
    static const QStringList kinds = {QStringLiteral("htm"),  QStringLiteral("html"),
                                      QStringLiteral("csv"),  QStringLiteral("xls"),
                                      QStringLiteral("xlsx"), QStringLiteral("txt")};
    return kinds.contains(QFileInfo(text).suffix().toLower());
}

} // namespace

CaptureSource resolveCaptureSource(const QString& text, const QString& docsFolder,
                                   const QString& currentDirectory, bool pasted) {
    const QString given = text.trimmed();
    if (given.isEmpty())
        return {};
    if (pasted) {
        CaptureSource source;
        source.kind = CaptureSource::Kind::PastedText;
        source.path = given;
        source.shown = given;
        return source;
    }

    // A scheme of one letter is a drive, not a scheme.
    const QUrl url(given);
    if (url.isValid() && url.scheme().size() > 1) {
        if (url.isLocalFile()) {
            CaptureSource source = localSource(url.toLocalFile(), url.toLocalFile());
            source.url.setQuery(url.query());
            source.url.setFragment(url.fragment());
            return source;
        }
        return {CaptureSource::Kind::Address, url, QString(), given};
    }

    if (QDir::isAbsolutePath(given))
        return localSource(given, given);
    for (const QString& folder : {docsFolder, currentDirectory}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(given);
        if (QFileInfo::exists(candidate))
            return localSource(candidate, given);
    }
    if (looksLikeFileName(given))
        return localSource(QDir(currentDirectory).filePath(given), given);
    const QUrl address = QUrl::fromUserInput(given);
    return {CaptureSource::Kind::Address, address, QString(), address.toString()};
}

std::optional<PageDocument> openSheetDocument(const CaptureSource& source, QString* error) {
    if (!QFileInfo::exists(source.path)) {
        if (error)
            *error = QStringLiteral("File not found: %1").arg(source.shown);
        return std::nullopt;
    }
    auto sheet = readSpreadsheet(source.path, error);
    if (!sheet)
        return std::nullopt;
    PageDocument document;
    document.address = source.shown;
    document.sheet = std::move(sheet);
    return document;
}

} // namespace gainbook
