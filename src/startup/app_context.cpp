#include "startup/app_context.h"

#include <QDir>

namespace gainbook {

AppContext::AppContext(QString applicationDirectory, SettingsStore& settings)
    : applicationDirectory_(std::move(applicationDirectory)), settings_(settings) {
    pageToShow_ = docsPage(QStringLiteral("splash.htm"));
}

QString AppContext::docsPage(const QString& fileName) const {
    return QDir(applicationDirectory_).filePath(QStringLiteral("docs/") + fileName);
}

} // namespace gainbook
