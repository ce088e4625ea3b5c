#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QWebEngineView;

namespace gainbook {

class SettingsStore;
class WindowPlacement;

// The browser window: one page (a file or a web address) with a Close
// button. At start it shows the splash page and closes itself when Timer1
// fires; help, about and disclaimer pages stay until the user closes them.
class frmBrowse : public QWidget {
    Q_OBJECT

public:
    // docsFolder, the folder of the help pages, tells the splash and the
    // user guide, which open differently, apart.
    // With settings, a help page opens where its window was left.
    frmBrowse(QString page, QString docsFolder, QWidget* parent = nullptr,
              SettingsStore* settings = nullptr);

    const QString& page() const { return page_; }
    bool isSplashPage() const;
    bool isUserGuidePage() const;
    // The window's title: the page's name ("User Guide", "About Gainbook").
    QString pageTitle() const;

    // A line beside the Close button, outside the page: the splash and About
    // name the tax year and the TXF version it is written in there.
    void setNote(const QString& text);

    QWebEngineView* WebBrowser1 = nullptr;
    QLabel* lblNote = nullptr;
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
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();

    QString page_;
    QString docsFolder_;
    bool cascaded_ = false;
    WindowPlacement* placement_ = nullptr;
};

// Twips, the unit window sizes are given in, at 96 dots per inch.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

} // namespace gainbook
