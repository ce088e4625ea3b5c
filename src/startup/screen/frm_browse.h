#pragma once

#include <QWidget>

class QPushButton;
class QTimer;
class QWebEngineView;

namespace gainbook {

// The browser window: one page (a file or a web address) with a Close
// button. At start it shows the splash page and closes itself when Timer1
// fires; help, about and disclaimer pages stay until the user closes them.
class frmBrowse : public QWidget {
    Q_OBJECT

public:
    // docsFolder, the folder of the help pages, tells the splash and the
    // user guide, which open differently, apart.
    frmBrowse(QString page, QString docsFolder, QWidget* parent = nullptr);

    const QString& page() const { return page_; }
    bool isSplashPage() const;
    bool isUserGuidePage() const;

    QWebEngineView* WebBrowser1 = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* Timer1 = nullptr;

signals:
    // Timer1 fired and the splash closed: time for the disclaimer.
    void splashDone();

public slots:
    void cmdClose_Click();
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();

    QString page_;
    QString docsFolder_;
    bool cascaded_ = false;
};

// Twips, the unit window sizes are given in, at 96 dots per inch.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

} // namespace gainbook
