#pragma once

#include "capture/capture_state.h"
#include "capture/page_document.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressDialog;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

namespace gainbook {

class AppContext;
class CaptureBrowser;
class frmColumnMapping;
class frmReconcile;
class Prompter;

// "Capture Transaction / Tax Records": the user picks the broker, opens its
// history page or a spreadsheet in the browser, says where the rows are to
// be filed and presses "Capture Data". Closing only hides the screen, so
// the next opening finds the broker, the fields and the page as they were.
class frmCapture : public QDialog {
    Q_OBJECT

public:
    frmCapture(AppContext& context, Prompter& prompter, QWidget* parent = nullptr);
    ~frmCapture() override;

    // Shows the screen modally beside its main window; returns once closed.
    void showModal();

    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text3 = nullptr;
    QCheckBox* Check2 = nullptr;
    // The time zone exchanges' timestamps are dated in; empty: UTC.
    QLineEdit* Zone = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QWebEngineView* WebBrowser1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Status = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    // A broker's realized gain/loss file named in the address box: taken
    // as tax records of the account, or compared with its tax records.
    QPushButton* ImportGains = nullptr;
    QPushButton* Reconcile = nullptr;

    // Shows the reconciliation grid; tests replace it.
    std::function<void(frmReconcile& grid)> showReconcile;
    // Shows the column mapping when "Other" finds no headings; true when
    // the user saved a mapping. Tests replace it.
    std::function<bool(frmColumnMapping& dialog)> showMapping;

    // The file-open dialog of "Browse": the chosen file, or empty. Tests
    // replace it.
    std::function<QString(const QString& startIn)> CommonDialog1;

    // The browser with the page or the sheet shown in its place.
    CaptureBrowser& browser() { return *browser_; }
    bool isCapturing() const { return capturing_; }

signals:
    // A capture run has ended (also when it stopped at a check or question).
    void captureFinished(int added);

public slots:
    void List1_Click();
    void Check1_Click();
    void Check2_Click();
    void Command4_Click();
    void Command3_Click();
    void Text1_KeyPress(int KeyAscii);
    void WebBrowser1_StatusTextChange(const QString& Text);
    void Command1_Click();
    void Command2_Click();
    void ImportGains_Click();
    void Reconcile_Click();

private:
    void Form_Load();
    void buildLayout();
    CaptureState fields() const;
    void showFields(const CaptureState& state);
    void finishCapture(std::optional<PageDocument> document, const QString& error);
    void showBrowser(bool shown);
    // A sheet "Other" found no headings in: the mapping the user saves for
    // it, added to the list and chosen; nothing when cancelled.
    std::optional<ColumnMapping> askForMapping(const SheetDocument& sheet,
                                               const CaptureSettings& settings);
    // The shipped page (blank without it), with "Capture Data" disabled.
    void showStartPage();
    QString docsFolder() const;

    AppContext& context_;
    Prompter& prompter_;
    QWebEngineProfile* profile_ = nullptr;
    CaptureBrowser* browser_ = nullptr;
    QProgressDialog* busy_ = nullptr;
    bool capturing_ = false;
    bool placed_ = false;
    QString shownEntry_; // the broker the page on show was opened for
};

} // namespace gainbook
