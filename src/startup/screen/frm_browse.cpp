#include "startup/screen/frm_browse.h"

#include "startup/disclaimer_text.h"
#include "widgets/window_placement.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace gainbook {

namespace {

QUrl pageUrl(const QString& page) {
    const QUrl url(page);
    if (url.scheme().startsWith(QLatin1String("http")))
        return url;
    return QUrl::fromLocalFile(page);
}

bool samePath(const QString& page, const QString& path) {
    return QDir::cleanPath(page) == QDir::cleanPath(path);
}

} // namespace

frmBrowse::frmBrowse(QString page, QString docsFolder, QWidget* parent, SettingsStore* settings)
    : QWidget(parent, Qt::Window), page_(std::move(page)), docsFolder_(std::move(docsFolder)) {
    setWindowTitle(QStringLiteral("Form1"));
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setMinimumSize(twipsToPixels(1400), twipsToPixels(450));
    // The button has a row of its own under the page, so it never covers
    // the page's text, whatever the window's size.
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblNote, 1);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser1, 1);
    layout->addLayout(buttons);
    buttons->setContentsMargins(6, 6, 6, 6);
    // Room for the button and a readable strip of the page.
    setMinimumSize(twipsToPixels(4000), twipsToPixels(3000));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmBrowse::cmdClose_Click);
    // Esc leaves a page as it leaves a dialog, wherever the focus is in it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmBrowse::cmdClose_Click);
    connect(Timer1, &QTimer::timeout, this, &frmBrowse::Timer1_Timer);
    Form_Load();
    // Help pages open where they were left, each kind in its own place; the
    // splash always opens where the system puts it.
    if (settings && !isSplashPage()) {
        setObjectName(QStringLiteral("frmBrowse"));
        const QString kind = isUserGuidePage() ? QStringLiteral("usrguid.htm")
                                               : QFileInfo(QUrl(page_).path()).fileName();
        placement_ = new WindowPlacement(this, *settings, QStringLiteral("frmBrowse-") + kind);
    }
}

QString frmBrowse::pageTitle() const {
    if (page_ == webUserGuideAddress())
        return QStringLiteral("User Guide (on the Web)");
    if (isUserGuidePage())
        return QStringLiteral("User Guide");
    if (isSplashPage())
        return QStringLiteral("Gainbook");
    const QString file = QFileInfo(page_).fileName();
    if (samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("about.htm"))))
        return QStringLiteral("About Gainbook");
    if (samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("disclaim.htm"))))
        return QStringLiteral("Disclaimer");
    return file.isEmpty() ? page_ : file;
}

bool frmBrowse::isSplashPage() const {
    return samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("splash.htm")));
}

bool frmBrowse::isUserGuidePage() const {
    return page_ == webUserGuideAddress() ||
           samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("usrguid.htm")));
}

void frmBrowse::Form_Load() {
    setWindowTitle(pageTitle());
    QSize size(twipsToPixels(6000), twipsToPixels(6000));
    if (isUserGuidePage()) {
        const QScreen* screen = this->screen();
        const QSize available = screen ? screen->availableSize() : QSize(1024, 768);
        size = available - QSize(twipsToPixels(200), twipsToPixels(200));
    }
    resize(size);
    WebBrowser1->setUrl(pageUrl(page_));
}

void frmBrowse::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each page window opens a little below and right of where the system
    // puts it, so help pages opened one after another do not hide each
    // other. Done once: moving on every resize would make a window drift
    // while the user drags its border.
    if (cascaded_ || isSplashPage() || isMaximized() || (placement_ && placement_->restored()))
        return;
    cascaded_ = true;
    move(pos() + QPoint(twipsToPixels(300), twipsToPixels(300)));
}

void frmBrowse::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // A splash closed early by the window system moves the start on, rather
    // than leave the program running without a window.
    if (Timer1->isActive()) {
        Timer1->stop();
        emit splashDone();
    }
}

void frmBrowse::setNote(const QString& text) {
    lblNote->setText(text);
    lblNote->setVisible(!text.isEmpty());
}

void frmBrowse::cmdClose_Click() {
    close();
}

void frmBrowse::Timer1_Timer() {
    Timer1->stop();
    close();
    emit splashDone();
}

} // namespace gainbook
