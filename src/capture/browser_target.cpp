#include "capture/browser_target.h"

#include "capture/sources/spreadsheet_reader.h"

#include <QDir>
#include <QFileInfo>

namespace gainbook {

namespace {

BrowserTarget fileTarget(const QString& path) {
    BrowserTarget target;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    target.url = QUrl::fromLocalFile(absolute);
    if (isSpreadsheetFile(absolute) && !QFileInfo(absolute).isDir())
        target.sheetPath = absolute;
    return target;
}

// "welcome.html", "history.csv": a name the user means as a file even when
// it is not there, so the browser can say it is missing.
bool looksLikeFileName(const QString& text) {
    static const QStringList kinds = {QStringLiteral("htm"),  QStringLiteral("html"),
                                      QStringLiteral("csv"),  QStringLiteral("xls"),
                                      QStringLiteral("xlsx"), QStringLiteral("txt")};
    return kinds.contains(QFileInfo(text).suffix().toLower());
}

} // namespace

BrowserTarget browserTarget(const QString& text, const QString& docsFolder,
                            const QString& currentDirectory) {
    const QString given = text.trimmed();
    if (given.isEmpty())
        return {};

    // A scheme of one letter is a drive, not a scheme.
    const QUrl url(given);
    if (url.isValid() && url.scheme().size() > 1) {
        if (url.isLocalFile()) {
            BrowserTarget target = fileTarget(url.toLocalFile());
            target.url.setQuery(url.query());
            target.url.setFragment(url.fragment());
            return target;
        }
        return {url, QString()};
    }

    if (QDir::isAbsolutePath(given))
        return fileTarget(given);
    for (const QString& folder : {docsFolder, currentDirectory}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(given);
        if (QFileInfo::exists(candidate))
            return fileTarget(candidate);
    }
    if (looksLikeFileName(given))
        return fileTarget(QDir(currentDirectory).filePath(given));
    return {QUrl::fromUserInput(given), QString()};
}

} // namespace gainbook
