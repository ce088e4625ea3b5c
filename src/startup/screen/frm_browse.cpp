#include "startup/screen/frm_browse.h"

#include "startup/disclaimer_text.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
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

frmBrowse::frmBrowse(QString page, QString docsFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), page_(std::move(page)), docsFolder_(std::move(docsFolder)) {
    setWindowTitle(QStringLiteral("Form1"));
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->resize(twipsToPixels(1400), twipsToPixels(450));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(cmdClose, &QPushButton::clicked, this, &frmBrowse::cmdClose_Click);
    connect(Timer1, &QTimer::timeout, this, &frmBrowse::Timer1_Timer);
    Form_Load();
}

bool frmBrowse::isSplashPage() const {
    return samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("splash.htm")));
}

bool frmBrowse::isUserGuidePage() const {
    return page_ == webUserGuideAddress() ||
           samePath(page_, QDir(docsFolder_).filePath(QStringLiteral("usrguid.htm")));
}

void frmBrowse::Form_Load() {
    setWindowTitle(page_);
    QSize size(twipsToPixels(6000), twipsToPixels(6000));
    if (isUserGuidePage()) {
        const QScreen* screen = this->screen();
        const QSize available = screen ? screen->availableSize() : QSize(1024, 768);
        size = available - QSize(twipsToPixels(200), twipsToPixels(200));
    }
    resize(size);
    WebBrowser1->setUrl(pageUrl(page_));
}

void frmBrowse::Form_Resize() {
    if (isMinimized())
        return;
    WebBrowser1->setGeometry(rect());
    cmdClose->move(width() - twipsToPixels(1600), height() - twipsToPixels(600));
    cmdClose->raise();
}

void frmBrowse::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmBrowse::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each page window opens a little below and right of where the system
    // puts it, so help pages opened one after another do not hide each
    // other. Done once: moving on every resize would make a window drift
    // while the user drags its border.
    if (cascaded_ || isSplashPage() || isMaximized())
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

void frmBrowse::cmdClose_Click() {
    close();
}

void frmBrowse::Timer1_Timer() {
    Timer1->stop();
    close();
    emit splashDone();
}

} // namespace gainbook
