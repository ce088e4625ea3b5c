#pragma once

#include "capture/capture_source.h"
#include "capture/page_document.h"
#include "capture/web/dom_snapshot.h"

#include <QStackedWidget>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace gainbook {

class SheetModel;
class SpreadGrid;

// The capture screen's browser: web pages in a live browser view, and a
// spreadsheet file in a read-only sheet shown in the page's place. It tells
// its progress as status texts: texts with "ing" while it loads and "Done"
// at the end.
class CaptureBrowser : public QStackedWidget {
    Q_OBJECT

public:
    // The profile keeps cookies and log-ins; it must outlive this widget.
    CaptureBrowser(QWebEngineProfile* profile, QWidget* parent = nullptr);
    ~CaptureBrowser() override;

    QWebEngineView* view() const { return view_; }
    SpreadGrid* sheetGrid() const { return grid_; }

    // A page or address in the browser view, a sheet in its place.
    void open(const CaptureSource& source);
    // Loads a page without telling its progress (the page shown at start).
    void openQuietly(const QUrl& url);

    bool showsSheet() const { return sheet_.has_value(); }
    bool isLoading() const { return loading_; }

    // One snapshot of the document shown; a page still loading is read once
    // it has finished. The callback runs from the event loop, or at once for
    // a sheet.
    void snapshot(SnapshotCallback done);

signals:
    void statusText(const QString& text);
    // Something could not be shown; the text says what and why. inPage:
    // the engine shows its own error page as well.
    void failure(const QString& text, bool inPage);

private:
    void showSheetFile(const QString& path);
    void showPage();
    void loadStarted();
    void loadProgress(int percent);
    void loadFinished(bool ok);
    void tellFailure();
    void downloadRequested(QWebEngineDownloadRequest* download);
    void tell(const QString& text);

    QWebEngineView* view_ = nullptr;
    SpreadGrid* grid_ = nullptr;
    SheetModel* sheetModel_ = nullptr;
    std::optional<SheetDocument> sheet_;
    QString sheetPath_;
    bool loading_ = false;
    bool quietNext_ = false;
    bool quiet_ = false;
    QString loadError_;
    std::unique_ptr<QTemporaryDir> downloads_;
};

} // namespace gainbook
