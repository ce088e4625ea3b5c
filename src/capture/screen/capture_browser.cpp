#include "capture/screen/capture_browser.h"

#include "capture/sources/spreadsheet_reader.h"
#include "platform/sheet_model.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace gainbook {

namespace {

// A page that hands spreadsheet files to the sheet instead of letting the
// engine offer them as downloads (a link in a saved page or a folder list).
class CapturePage : public QWebEnginePage {
public:
    CapturePage(QWebEngineProfile* profile, CaptureBrowser* browser, QObject* parent)
        : QWebEnginePage(profile, parent), browser_(browser) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (isMainFrame && url.isLocalFile() && isSpreadsheetFile(url.toLocalFile()) &&
            QFileInfo(url.toLocalFile()).isFile()) {
            const CaptureSource target = resolveCaptureSource(url.toLocalFile(), {}, {});
            QPointer<CaptureBrowser> browser = browser_;
            // Not from inside the engine's own callback.
            QMetaObject::invokeMethod(
                browser_,
                [browser, target] {
                    if (browser)
                        browser->open(target);
                },
                Qt::QueuedConnection);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    CaptureBrowser* browser_;
};

QString columnName(int col) {
    QString name;
    for (int n = col; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

} // namespace

CaptureBrowser::CaptureBrowser(QWebEngineProfile* profile, QWidget* parent)
    : QStackedWidget(parent) {
    setObjectName(QStringLiteral("browserArea"));
    view_ = new QWebEngineView(this);
    view_->setObjectName(QStringLiteral("WebBrowser1"));
    view_->setPage(new CapturePage(profile, this, view_));
    grid_ = new SpreadGrid(this);
    grid_->setObjectName(QStringLiteral("sheetGrid"));
    sheetModel_ = new SheetModel(grid_);
    grid_->setGridModel(sheetModel_);
    addWidget(view_);
    addWidget(grid_);
    setCurrentWidget(view_);

    QWebEnginePage* page = view_->page();
    connect(page, &QWebEnginePage::loadStarted, this, &CaptureBrowser::loadStarted);
    connect(page, &QWebEnginePage::loadProgress, this, &CaptureBrowser::loadProgress);
    connect(page, &QWebEnginePage::loadFinished, this, &CaptureBrowser::loadFinished);
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        // An aborted load (another address typed meanwhile) is no failure.
        constexpr int kAborted = -3;
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus ||
            info.errorCode() == kAborted)
            return;
        loadError_ = info.errorString().isEmpty() ? QStringLiteral("the page did not load")
                                                  : info.errorString();
        // The engine may tell the failure after the end of the load.
        if (!loading_)
            tellFailure();
    });
    connect(profile, &QWebEngineProfile::downloadRequested, this,
            &CaptureBrowser::downloadRequested);
}

CaptureBrowser::~CaptureBrowser() = default;

void CaptureBrowser::tell(const QString& text) {
    if (!quiet_)
        emit statusText(text);
}

void CaptureBrowser::open(const CaptureSource& source) {
    quiet_ = false;
    quietNext_ = false;
    if (source.isSheet()) {
        showSheetFile(source.path);
        return;
    }
    if (source.url.isEmpty())
        return;
    showPage();
    view_->load(source.url);
}

void CaptureBrowser::openQuietly(const QUrl& url) {
    // A page still loading is cut short by this one: its end is not told
    // either, or it would pass for this page's.
    quiet_ = true;
    quietNext_ = true;
    showPage();
    view_->load(url);
}

void CaptureBrowser::showPage() {
    sheet_.reset();
    sheetPath_.clear();
    sheetModel_->setColumns({});
    setCurrentWidget(view_);
}

void CaptureBrowser::showSheetFile(const QString& path) {
    if (loading_)
        view_->stop();
    tell(QStringLiteral("Opening %1").arg(QDir::toNativeSeparators(path)));
    QString error;
    std::optional<SheetDocument> sheet;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sheet = readSpreadsheet(path, &error);
        QApplication::restoreOverrideCursor();
    }
    if (!sheet) {
        tell(QStringLiteral("Done"));
        emit failure(error, false);
        return;
    }

    QVector<SheetColumn> columns;
    for (int col = 1; col <= sheet->columnCount(); ++col) {
        SheetColumn column;
        column.heading = columnName(col);
        column.width = 12;
        column.locked = true;
        columns << column;
    }
    sheetModel_->setColumns(columns);
    QVector<QStringList> rows;
    rows.reserve(sheet->rowCount());
    for (int row = 1; row <= sheet->rowCount(); ++row) {
        QStringList texts;
        for (int col = 1; col <= sheet->columnCount(); ++col)
            texts << sheet->text(row, col);
        rows << texts;
    }
    sheetModel_->appendRows(rows);
    sheet_ = std::move(sheet);
    sheetPath_ = path;
    setCurrentWidget(grid_);
    tell(QStringLiteral("Done"));
}

void CaptureBrowser::loadStarted() {
    loading_ = true;
    loadError_.clear();
    quiet_ = quietNext_;
    quietNext_ = false;
    const QUrl url = view_->page()->requestedUrl();
    tell(QStringLiteral("Opening %1")
             .arg(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                                    : url.toDisplayString()));
}

void CaptureBrowser::loadProgress(int percent) {
    if (loading_ && percent < 100)
        tell(QStringLiteral("Loading page (%1%)").arg(percent));
}

void CaptureBrowser::loadFinished(bool) {
    loading_ = false;
    tell(QStringLiteral("Done"));
    tellFailure();
    quiet_ = false;
}

void CaptureBrowser::tellFailure() {
    if (loadError_.isEmpty() || quiet_)
        return;
    const QUrl url = view_->page()->requestedUrl();
    const QString shown =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
    emit failure(QStringLiteral("%1 could not be opened: %2").arg(shown, loadError_), true);
    loadError_.clear();
}

void CaptureBrowser::downloadRequested(QWebEngineDownloadRequest* download) {
    if (download->page() != view_->page())
        return;
    // A broker's "download as spreadsheet" link: keep the file for the
    // session and show it as the sheet to capture.
    const QString name = download->downloadFileName();
    if (!isSpreadsheetFile(name)) {
        download->cancel();
        emit failure(
            QStringLiteral("%1 is not a page or a spreadsheet this screen can show.").arg(name),
            false);
        return;
    }
    if (!downloads_)
        downloads_ = std::make_unique<QTemporaryDir>();
    download->setDownloadDirectory(downloads_->path());
    QPointer<CaptureBrowser> self = this;
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [self, download] {
        if (!self || !download->isFinished())
            return;
        if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
            const QString path =
                QDir(download->downloadDirectory()).filePath(download->downloadFileName());
            self->open(resolveCaptureSource(path, {}, {}));
        } else {
            emit self->failure(
                QStringLiteral("%1 could not be downloaded: %2")
                    .arg(download->downloadFileName(), download->interruptReasonString()),
                false);
        }
    });
    tell(QStringLiteral("Downloading %1").arg(name));
    download->accept();
}

void CaptureBrowser::snapshot(SnapshotCallback done) {
    if (sheet_) {
        PageDocument document;
        document.address = sheetPath_;
        document.sheet = sheet_;
        done(std::move(document), QString());
        return;
    }
    QWebEnginePage* page = view_->page();
    if (!loading_) {
        snapshotPage(page, std::move(done));
        return;
    }
    // The page the user asked for, not the half-shown one before it.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(page, &QWebEnginePage::loadFinished, this,
                          [this, page, connection, done = std::move(done)](bool) mutable {
                              disconnect(*connection);
                              if (sheet_)
                                  snapshot(std::move(done));
                              else
                                  snapshotPage(page, std::move(done));
                          });
}

} // namespace gainbook
