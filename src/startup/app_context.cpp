#include "startup/app_context.h"

#include <QDir>

namespace gainbook {

AppContext::AppContext(QString applicationDirectory, SettingsStore& settings)
    : applicationDirectory_(std::move(applicationDirectory)),
      docsFolder_(QDir(applicationDirectory_).filePath(QStringLiteral("docs"))),
      settings_(settings) {
    pageToShow_ = docsPage(QStringLiteral("splash.htm"));
}

void AppContext::setDocsFolder(const QString& folder) {
    // The splash page is the first page to show wherever the pages are.
    const bool showingSplash = pageToShow_ == docsPage(QStringLiteral("splash.htm"));
    docsFolder_ = folder;
    if (showingSplash)
        pageToShow_ = docsPage(QStringLiteral("splash.htm"));
}

QString AppContext::docsPage(const QString& fileName) const {
    return QDir(docsFolder_).filePath(fileName);
}

} // namespace gainbook
