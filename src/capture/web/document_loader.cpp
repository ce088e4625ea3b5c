#include "capture/web/document_loader.h"

#include "capture/web/dom_snapshot.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <memory>

namespace gainbook {

namespace {

bool setError(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

// What the browser should open for a page or an address, or an empty URL
// and a message when a local file is missing.
QUrl browserAddress(const CaptureSource& source, QString* error) {
    if (source.kind == CaptureSource::Kind::Address)
        return source.url;
    const QFileInfo file(source.path);
    if (!file.exists()) {
        setError(error, QStringLiteral("File not found: %1").arg(source.shown));
        return {};
    }
    if (!file.isFile()) {
        setError(error, QStringLiteral("Not a file: %1").arg(source.shown));
        return {};
    }
    return source.url;
}

// Loads the page and waits for the end of the load, frames included, as
// long as the page keeps making progress: a large page on a busy machine
// takes as long as it takes, a page that stops moving for stallMs ends the
// wait.
bool loadPage(QWebEnginePage& page, const QUrl& url, int stallMs, QString* error) {
    QEventLoop loop;
    bool finished = false;
    bool succeeded = false;
    QString failure;
    QTimer stall;
    stall.setSingleShot(true);
    stall.setInterval(stallMs);
    QObject::connect(&stall, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto progress = [&stall] { stall.start(); };
    QObject::connect(&page, &QWebEnginePage::loadStarted, &loop, progress);
    QObject::connect(&page, &QWebEnginePage::loadProgress, &loop, progress);
    QObject::connect(&page, &QWebEnginePage::urlChanged, &loop, progress);
    QObject::connect(&page, &QWebEnginePage::titleChanged, &loop, progress);
    QObject::connect(&page, &QWebEnginePage::loadingChanged, &loop,
                     [&](const QWebEngineLoadingInfo& info) {
                         stall.start();
                         if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                             !info.errorString().isEmpty())
                             failure = info.errorString();
                     });
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool ok) {
        finished = true;
        succeeded = ok;
        loop.quit();
    });
    stall.start();
    page.load(url);
    loop.exec();

    const QString shown = url.isLocalFile() ? url.toLocalFile() : url.toString();
    if (!finished) {
        page.triggerAction(QWebEnginePage::Stop);
        return setError(error, QStringLiteral("Loading %1 made no progress for %2 seconds.")
                                   .arg(shown)
                                   .arg(stallMs / 1000.0));
    }
    if (!succeeded) {
        return setError(error, failure.isEmpty()
                                   ? QStringLiteral("Could not load %1").arg(shown)
                                   : QStringLiteral("Could not load %1: %2").arg(shown, failure));
    }
    return true;
}

std::optional<PageDocument> snapshotNow(QWebEnginePage& page, int stallMs, QString* error) {
    // The answer may come after a timeout, when this frame is gone: it writes
    // into shared state, never into locals.
    struct Pending {
        bool answered = false;
        std::optional<PageDocument> document;
        QString failure;
        QPointer<QEventLoop> loop;
    };
    auto pending = std::make_shared<Pending>();
    QEventLoop loop;
    pending->loop = &loop;
    snapshotPage(&page, [pending](std::optional<PageDocument> doc, QString message) {
        pending->answered = true;
        pending->document = std::move(doc);
        pending->failure = std::move(message);
        if (pending->loop)
            pending->loop->quit();
    });
    QTimer::singleShot(stallMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (!pending->answered) {
        setError(
            error,
            QStringLiteral("Reading the page took longer than %1 seconds.").arg(stallMs / 1000.0));
        return std::nullopt;
    }
    if (!pending->document)
        setError(error, pending->failure);
    return std::move(pending->document);
}

} // namespace

std::optional<PageDocument> loadDocument(const CaptureSource& source, QString* error, int stallMs) {
    switch (source.kind) {
    case CaptureSource::Kind::None:
    case CaptureSource::Kind::PastedText:
        setError(error, QStringLiteral("No page or spreadsheet named: %1").arg(source.shown));
        return std::nullopt;
    case CaptureSource::Kind::Sheet:
        return openSheetDocument(source, error);
    case CaptureSource::Kind::Page:
    case CaptureSource::Kind::Address:
        break;
    }

    const QUrl url = browserAddress(source, error);
    if (url.isEmpty())
        return std::nullopt;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        setError(error, QStringLiteral("The browser engine cannot start without a graphical "
                                       "application object."));
        return std::nullopt;
    }

    auto page = std::make_unique<QWebEnginePage>();
    // Saved pages keep their frames as files beside them: let local pages
    // read other local files, and never reach out to the web from them.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    page->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    if (!loadPage(*page, url, stallMs, error))
        return std::nullopt;
    return snapshotNow(*page, stallMs, error);
}

std::optional<PageDocument> loadDocument(const QString& source, QString* error, int stallMs) {
    return loadDocument(resolveCaptureSource(source, QString(), QDir::currentPath()), error,
                        stallMs);
}

} // namespace gainbook
