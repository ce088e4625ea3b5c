#include "app/app_context.h"
#include "capture/browser_target.h"
#include "capture/capture_harness.h"
#include "capture/screen/attach_capture_screen.h"
#include "capture/screen/capture_browser.h"
#include "capture/screen/frm_capture.h"
#include "capture/sources/pasted_text.h"
#include "capture/web/browser_setup.h"
#include "main_window/account_outline_pane.h"
#include "main_window/frm_main.h"
#include "main_window/main_commands.h"
#include "platform/outline.h"
#include "platform/sheet_model.h"
#include "platform/spread_grid.h"
#include "support/memory_settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

using namespace gainbook;
using gainbook::test::MemorySettings;
using gainbook::test::RecordingPrompter;
using gainbook::test::TestDatabase;

namespace {

QString testData() {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA");
}

// The source tree stands in for the application directory: its docs folder
// holds the shipped pages.
QString applicationDirectory() {
    return QDir(testData() + QStringLiteral("/../..")).absolutePath();
}

QString welcomePath() {
    return QDir(applicationDirectory()).filePath(QStringLiteral("docs/welcome.html"));
}

constexpr int kLoadTimeout = 30000;

// A capture screen on a test database with scripted answers.
struct Screen {
    TestDatabase t;
    MemorySettings settings;
    RecordingPrompter prompter;
    AppContext context{applicationDirectory(), settings};
    std::unique_ptr<frmCapture> w;

    Screen() {
        context.database().open(t.path());
        w = std::make_unique<frmCapture>(context, prompter);
        QSignalSpy loaded(w->WebBrowser1->page(), &QWebEnginePage::loadFinished);
        w->show();
        // The shipped page first, so that it cannot finish in the middle of
        // what a test opens.
        loaded.wait(kLoadTimeout);
    }

    void choose(const QString& entry) {
        const auto items = w->List1->findItems(entry, Qt::MatchExactly);
        QVERIFY2(items.size() == 1, qPrintable(entry));
        w->List1->setCurrentItem(items.front());
    }

    void clickEntry(const QString& entry) {
        QListWidgetItem* item = w->List1->findItems(entry, Qt::MatchExactly).front();
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {},
                          w->List1->visualItemRect(item).center());
    }

    // Types the source into the address box and presses Enter, then waits
    // for the browser to say it is done.
    void open(const QString& source) {
        w->Text1->setText(source);
        QTest::keyClick(w->Text1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w->Status->text() == "Done" || !prompter.messages.isEmpty(),
                                 kLoadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!w->browser().isLoading(), kLoadTimeout);
    }

    int capture() {
        QSignalSpy finished(w.get(), &frmCapture::captureFinished);
        w->Command1->click();
        if (finished.isEmpty() && !finished.wait(kLoadTimeout))
            return -1;
        return finished.front().front().toInt();
    }

    QStringList rows() { return test::storedRows(t.connection()); }
};

// The fixtures the command-line tool is checked against: source, the tool's
// arguments and the rows it stores.
struct Fixture {
    QString source;
    QStringList args;
    QStringList rows;
};

QVector<Fixture> fixtures() {
    QVector<Fixture> found;
    QDirIterator it(testData() + "/capture", {"*.expected"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        Fixture f;
        f.args = QProcess::splitCommand(lines.takeFirst().mid(6));
        lines.removeFirst(); // exit code
        f.source = file.fileName().chopped(9);
        for (QString& row : lines)
            row.chop(1); // the tool's lines end with the memo's separator
        f.rows = lines;
        found << f;
    }
    std::sort(found.begin(), found.end(),
              [](const Fixture& a, const Fixture& b) { return a.source < b.source; });
    return found;
}

QString option(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

} // namespace

class TestCaptureScreen : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheFirstEntryWithTheFieldsLocked() {
        Screen s;
        QCOMPARE(s.w->windowTitle(), QString("Capture Transaction / Tax Records"));
        QStringList entries;
        for (int i = 0; i < s.w->List1->count(); ++i)
            entries << s.w->List1->item(i)->text();
        QCOMPARE(entries, QStringList({"Etrade", "Wit Capital", "Datek", "WebStreet", "FBR",
                                       "Waterhouse", "Other"}));
        QCOMPARE(s.w->List1->currentRow(), 0);
        QCOMPARE(s.w->Label4->text(), QString("Account With"));
        QCOMPARE(s.w->Label1->text(), QString("FileName/URL"));
        QCOMPARE(s.w->Frame1->title(), QString("Save As"));
        QCOMPARE(s.w->Command4->text(), QString("Browse"));
        QCOMPARE(s.w->Command3->text(), QString("Open"));
        QCOMPARE(s.w->Command1->text(), QString("Capture Data"));
        QCOMPARE(s.w->Command2->text(), QString("Close"));
        QVERIFY(s.w->Text1->text().startsWith("https://"));
        QCOMPARE(s.w->Text2->text(), QString("Account1"));
        QCOMPARE(s.w->Text3->text(), QString("All"));
        QVERIFY(s.w->Check1->isChecked());
        for (QWidget* w : {(QWidget*)s.w->Label2, (QWidget*)s.w->Label3, (QWidget*)s.w->Text2,
                           (QWidget*)s.w->Text3, (QWidget*)s.w->Check2})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(!s.w->Check2->isChecked());
        QVERIFY(s.w->Text4->isHidden());
        QVERIFY(s.w->WebBrowser1->isVisible());
        // The page shown at start explains the screen but is no document
        // to capture: the button waits for the user's own page.
        QCOMPARE(s.w->WebBrowser1->url(), QUrl::fromLocalFile(welcomePath()));
        QVERIFY(!s.w->Command1->isEnabled());
        QCOMPARE(s.w->Status->text(), QString());
    }

    void brokerEntrySetsTheFields_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("address"); // home, here or welcome
        QTest::addColumn<bool>("derive");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("month");
        QTest::addColumn<bool>("paste");
        QTest::newRow("Etrade") << "Etrade"
                                << "home" << true << "Typed"
                                << "All" << false;
        QTest::newRow("Wit Capital") << "Wit Capital"
                                     << "here" << false << "Wit-Account1"
                                     << "All" << true;
        QTest::newRow("Datek") << "Datek"
                               << "welcome" << true << "Typed"
                               << "Jan" << false;
        QTest::newRow("WebStreet") << "WebStreet"
                                   << "here" << true << "Typed"
                                   << "Jan" << false;
        QTest::newRow("FBR") << "FBR"
                             << "welcome" << false << "FBR-Account1"
                             << "All" << false;
        QTest::newRow("Waterhouse") << "Waterhouse"
                                    << "welcome" << false << "Waterhouse1"
                                    << "All" << false;
        QTest::newRow("Other") << "Other"
                               << "here" << false << "Other1"
                               << "All" << true;
    }
    void brokerEntrySetsTheFields() {
        QFETCH(QString, entry);
        QFETCH(QString, address);
        QFETCH(bool, derive);
        QFETCH(QString, account);
        QFETCH(QString, month);
        QFETCH(bool, paste);
        Screen s;
        // Start from another entry, with typed fields and the box unchecked.
        s.choose(entry == "Other" ? "Etrade" : "Other");
        s.w->Text2->setText("Typed");
        s.w->Text3->setText("Jan");
        s.w->Check1->setChecked(false);
        s.clickEntry(entry);

        QCOMPARE(s.w->List1->currentItem()->text(), entry);
        if (address == "home")
            QCOMPARE(s.w->Text1->text(), QString("https://us.etrade.com/"));
        else if (address == "here")
            QCOMPARE(s.w->Text1->text(), QDir::currentPath());
        else
            QCOMPARE(QFileInfo(s.w->Text1->text()).canonicalFilePath(),
                     QFileInfo(welcomePath()).canonicalFilePath());
        QCOMPARE(s.w->Check1->isChecked(), derive);
        QCOMPARE(s.w->Text2->text(), account);
        QCOMPARE(s.w->Text3->text(), month);
        QCOMPARE(s.w->Check2->isEnabled(), paste);
        // The filing fields can be typed in exactly when nothing is derived.
        for (QWidget* w : {(QWidget*)s.w->Label2, (QWidget*)s.w->Label3, (QWidget*)s.w->Text2,
                           (QWidget*)s.w->Text3})
            QCOMPARE(w->isEnabled(), !derive);
        QVERIFY(s.w->WebBrowser1->isVisible());
    }

    void pasteDataSwapsTheBrowserAndThePasteBox() {
        Screen s;
        s.clickEntry("Wit Capital");
        s.w->Check2->click();
        QVERIFY(s.w->Text4->isVisible());
        QVERIFY(!s.w->browser().isVisible());
        s.w->Check2->click();
        QVERIFY(!s.w->Text4->isVisible());
        QVERIFY(s.w->browser().isVisible());

        // Choosing a broker, the same one again included, brings the
        // browser back; the box keeps its check mark.
        s.w->Check2->click();
        s.clickEntry("Wit Capital");
        QVERIFY(s.w->browser().isVisible());
        QVERIFY(!s.w->Text4->isVisible());
        QVERIFY(s.w->Check2->isChecked());
        s.w->Check2->click();
        s.w->Check2->click();
        QVERIFY(s.w->Text4->isVisible());
        s.clickEntry("Etrade");
        QVERIFY(s.w->browser().isVisible());
        QVERIFY(s.w->Check2->isChecked());
        QVERIFY(!s.w->Check2->isEnabled());
    }

    void openAndEnterEnableCaptureData_data() {
        QTest::addColumn<bool>("enter");
        QTest::newRow("Open") << false;
        QTest::newRow("Enter") << true;
    }
    void openAndEnterEnableCaptureData() {
        QFETCH(bool, enter);
        Screen s;
        QSignalSpy texts(&s.w->browser(), &CaptureBrowser::statusText);
        s.w->Text1->setText(testData() + "/capture/fbr/statement.html");
        if (enter)
            QTest::keyClick(s.w->Text1, Qt::Key_Return);
        else
            QTest::mouseClick(s.w->Command3, Qt::LeftButton);
        // At once, before the page has come.
        QVERIFY(s.w->Command1->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(s.w->Status->text(), QString("Done"), kLoadTimeout);
        QVERIFY(texts.size() >= 2);
        QVERIFY(texts.front().front().toString().contains("ing"));
        QCOMPARE(texts.back().front().toString(), QString("Done"));
        QCOMPARE(s.w->WebBrowser1->url(),
                 QUrl::fromLocalFile(testData() + "/capture/fbr/statement.html"));
    }

    void addressBoxTargets_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("sheet");
        const QString docs = applicationDirectory() + "/docs";
        const QString csv = testData() + "/capture/other/history.csv";
        QTest::newRow("web address")
            << "https://example.com/a?b=1" << QUrl("https://example.com/a?b=1") << "";
        QTest::newRow("bare host") << " www.example.com " << QUrl("http://www.example.com") << "";
        QTest::newRow("shipped page")
            << "welcome.html" << QUrl::fromLocalFile(docs + "/welcome.html") << "";
        QTest::newRow("missing page")
            << "nowhere.html" << QUrl::fromLocalFile(QDir::currentPath() + "/nowhere.html") << "";
        QTest::newRow("sheet path") << csv << QUrl::fromLocalFile(csv) << csv;
        QTest::newRow("sheet address")
            << QUrl::fromLocalFile(csv).toString() << QUrl::fromLocalFile(csv) << csv;
        QTest::newRow("empty") << "  " << QUrl() << "";
    }
    void addressBoxTargets() {
        QFETCH(QString, text);
        QFETCH(QUrl, url);
        QFETCH(QString, sheet);
        const BrowserTarget target =
            browserTarget(text, applicationDirectory() + "/docs", QDir::currentPath());
        QCOMPARE(target.url.adjusted(QUrl::NormalizePathSegments), url);
        QCOMPARE(QDir::cleanPath(target.sheetPath), QDir::cleanPath(sheet));
    }

    void relativeNamesOpenTheShippedPages() {
        Screen s;
        s.w->WebBrowser1->setUrl(QUrl("about:blank"));
        QTRY_VERIFY_WITH_TIMEOUT(s.w->WebBrowser1->url() == QUrl("about:blank"), kLoadTimeout);
        s.open("welcome.html");
        QCOMPARE(s.w->WebBrowser1->url(), QUrl::fromLocalFile(welcomePath()));
    }

    void captureMatchesTheCommandLineTool_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("rows");
        const QVector<Fixture> found = fixtures();
        QVERIFY(found.size() >= 15);
        for (const Fixture& f : found)
            QTest::newRow(qPrintable(QDir(testData()).relativeFilePath(f.source)))
                << f.source << f.args << f.rows;
    }
    void captureMatchesTheCommandLineTool() {
        QFETCH(QString, source);
        QFETCH(QStringList, args);
        QFETCH(QStringList, rows);
        Screen s;
        s.clickEntry(option(args, "--broker"));
        if (const QString account = option(args, "--account"); !account.isEmpty())
            s.w->Text2->setText(account);
        if (const QString month = option(args, "--month"); !month.isEmpty())
            s.w->Text3->setText(month);
        if (args.contains("--paste")) {
            s.w->Check2->click();
            const auto text = loadPastedText(source, nullptr);
            QVERIFY(text);
            s.w->Text4->setPlainText(*text);
        } else {
            s.open(source);
            QVERIFY(s.prompter.messages.isEmpty());
            const bool sheet = source.endsWith(".csv") || source.contains(".xls");
            QCOMPARE(s.w->browser().showsSheet(), sheet);
            if (sheet) {
                QVERIFY(s.w->browser().sheetGrid()->isVisible());
                QVERIFY(s.w->browser().sheetGrid()->sheet()->rows() > 1);
            }
        }
        QVERIFY(s.w->Command1->isEnabled());
        QCOMPARE(s.capture(), int(rows.size()));
        QCOMPARE(s.rows(), rows);
        if (!rows.isEmpty()) {
            // The fields show where the rows were filed, derived or typed.
            const QStringList last = rows.back().split(u'|');
            QCOMPARE(s.w->Text2->text(), last[0]);
            QCOMPARE(s.w->Text3->text(), last[1]);
            QCOMPARE(s.w->Status->text(),
                     QString("%1 records successfully added.").arg(rows.size()));
        }
    }

    void theMessageComesWithTheResultOnShow() {
        // What the screen shows while the closing message is up.
        struct Watching final : Prompter {
            std::function<void(const QString&)> seen;
            void message(const QString& text) override { seen(text); }
            bool ask(const QString&) override { return false; }
        } watching;
        Screen s;
        frmCapture w(s.context, watching);
        QStringList shown;
        watching.seen = [&](const QString& text) {
            shown << text + " / " + w.Status->text() + " / " + w.Text2->text() + " / " +
                         w.Text3->text();
            QVERIFY(!w.findChild<QProgressDialog*>("captureProgress") ||
                    !w.findChild<QProgressDialog*>("captureProgress")->isVisible());
        };
        w.show();
        w.List1->setCurrentRow(2); // Datek
        w.Text1->setText(testData() + "/capture/datek/history.html");
        QTest::keyClick(w.Text1, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(w.Status->text(), QString("Done"), kLoadTimeout);
        QSignalSpy finished(&w, &frmCapture::captureFinished);
        w.Command1->click();
        QVERIFY(finished.wait(kLoadTimeout));
        QCOMPARE(shown, QStringList{"2 records successfully added. / 2 records successfully "
                                    "added. / 7788-1234 / March 2000"});
    }

    void emptyFieldsStopTheRun_data() {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("message");
        QTest::newRow("account") << ""
                                 << "All"
                                 << "Please enter an Account Name";
        QTest::newRow("month") << "Mine"
                               << ""
                               << "Please enter an Transaction Month or Leave All";
    }
    void emptyFieldsStopTheRun() {
        QFETCH(QString, account);
        QFETCH(QString, month);
        QFETCH(QString, message);
        Screen s;
        s.clickEntry("Other");
        s.open(testData() + "/capture/other/history.csv");
        s.w->Text2->setText(account);
        s.w->Text3->setText(month);
        QCOMPARE(s.capture(), 0);
        QCOMPARE(s.prompter.messages, QStringList{message});
        QCOMPARE(s.w->Status->text(), QString());
        QVERIFY(s.rows().isEmpty());
        QVERIFY(s.w->Command1->isEnabled());
    }

    void aRunCannotStartTwice() {
        Screen s;
        s.clickEntry("FBR");
        s.open(testData() + "/capture/fbr/statement.html");
        QSignalSpy finished(s.w.get(), &frmCapture::captureFinished);
        s.w->Command1->click();
        // The page is still being read.
        QVERIFY(finished.isEmpty());
        QVERIFY(s.w->isCapturing());
        QVERIFY(!s.w->Command1->isEnabled());
        auto* busy = s.w->findChild<QProgressDialog*>("captureProgress");
        QVERIFY(busy && busy->isVisible());
        s.w->Command1_Click();
        QVERIFY(finished.wait(kLoadTimeout));
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        // A second run would have asked about the rows of the first.
        QVERIFY(s.prompter.questions.isEmpty());
        QCOMPARE(s.rows().size(), 2);
        QVERIFY(s.w->Command1->isEnabled());
        QVERIFY(!s.w->isCapturing());
        QVERIFY(!s.w->findChild<QProgressDialog*>("captureProgress") ||
                !s.w->findChild<QProgressDialog*>("captureProgress")->isVisible());
    }

    // A spreadsheet reached from the page (a folder's file list, a saved
    // page's link, a site's download) is shown as the sheet to capture.
    void spreadsheetsReachedFromThePageBecomeTheSheet_data() {
        QTest::addColumn<bool>("download");
        QTest::newRow("file link") << false;
        QTest::newRow("download") << true;
    }
    void spreadsheetsReachedFromThePageBecomeTheSheet() {
        QFETCH(bool, download);
        Screen s;
        s.clickEntry("Other");
        // The entry's address is a folder: the browser lists its files.
        s.open(testData() + "/capture/other");
        QVERIFY(!s.w->browser().showsSheet());
        QString script;
        if (download) {
            script = "var a = document.createElement('a');"
                     "a.href = 'data:text/csv,Date%2CType%2CSymbol%2CQuantity%2CAmount%0A"
                     "3%2F1%2F2000%2CBuy%2CIBM%2C10%2C1000%0A';"
                     "a.download = 'site.csv'; document.body.appendChild(a); a.click();";
        } else {
            script =
                QString("location.href = '%1';")
                    .arg(QUrl::fromLocalFile(testData() + "/capture/other/history.csv").toString());
        }
        s.w->WebBrowser1->page()->runJavaScript(script);
        QTRY_VERIFY_WITH_TIMEOUT(s.w->browser().showsSheet(), kLoadTimeout);
        QVERIFY(s.prompter.messages.isEmpty());
        QCOMPARE(s.w->Status->text(), QString("Done"));
        QCOMPARE(s.capture(), download ? 1 : 3);
    }

    void aPageThatCannotBeOpenedIsReported() {
        Screen s;
        const QString missing = s.t.folder() + "/missing.html";
        s.w->Text1->setText(missing);
        QTest::keyClick(s.w->Text1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(s.w->Status->text().contains("could not be opened"), kLoadTimeout);
        QVERIFY(s.w->Status->text().startsWith(missing));
        // The engine shows its own error page; no message box on top.
        QVERIFY(s.prompter.messages.isEmpty());
    }

    void aSheetThatCannotBeReadIsReported() {
        Screen s;
        s.clickEntry("Other");
        s.w->Text1->setText(testData() + "/capture/sources/not_a_workbook.xlsx");
        QTest::keyClick(s.w->Text1, Qt::Key_Return);
        QCOMPARE(s.prompter.messages.size(), 1);
        QCOMPARE(s.w->Status->text(), s.prompter.messages.front());
        QVERIFY(!s.w->browser().showsSheet());
    }

    void closeKeepsTheFieldsForTheNextOpening() {
        Screen s;
        s.w->hide();
        bool first = true;
        QString seenAccount;
        QString seenEntry;
        bool seenPaste = false;
        const auto act = [&] {
            QVERIFY(s.w->isVisible());
            if (first) {
                s.clickEntry("Other");
                s.w->Text2->setText("Kept");
                s.w->Text3->setText("Feb");
                s.w->Check2->click();
                s.w->Text4->setPlainText("pasted");
            } else {
                seenAccount = s.w->Text2->text() + "/" + s.w->Text3->text();
                seenEntry = s.w->List1->currentItem()->text();
                seenPaste = s.w->Text4->isVisible() && s.w->Text4->toPlainText() == "pasted";
            }
            s.w->Command2->click();
        };
        QTimer::singleShot(0, act);
        s.w->showModal();
        QVERIFY(s.w->isHidden());
        first = false;
        QTimer::singleShot(0, act);
        s.w->showModal();
        QCOMPARE(seenEntry, QString("Other"));
        QCOMPARE(seenAccount, QString("Kept/Feb"));
        QVERIFY(seenPaste);
    }

    void mainWindowOpensTheScreenOnceOnAnEmptyDatabase() {
        TestDatabase t;
        MemorySettings settings;
        settings.setValue("General", "Database", t.path());
        RecordingPrompter prompter;
        AppContext context(applicationDirectory(), settings);
        frmMain::Services services;
        services.chooseFile = [] { return DatabaseChoice{}; };
        services.endProgram = [](int) {};
        frmMain w(context, prompter, services);
        frmCapture* screen = attachCaptureScreen(w, context, prompter);
        QVERIFY(w.commands().Command2->isEnabled());
        QVERIFY(w.commands().mnuCapture->isEnabled());

        int openings = 0;
        bool writeRows = false;
        struct ShowWatch : QObject {
            std::function<void()> shown;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Show)
                    QTimer::singleShot(0, this, shown);
                return false;
            }
        } watch;
        watch.shown = [&] {
            ++openings;
            QVERIFY(screen->isModal());
            if (writeRows)
                t.addTxn("Acme", "All", "IBM", 10, kBought, QDate(2000, 1, 3), 1000);
            screen->Command2->click();
        };
        screen->installEventFilter(&watch);

        QVERIFY(w.Form_Load());
        QCOMPARE(openings, 1);
        w.show();
        // Still empty: no second automatic opening in this run.
        w.Form_Activate();
        w.outline().DisplayList();
        QCOMPARE(openings, 1);

        // "&Capture" and the menu open it at will; what it wrote shows in
        // the outline once it is closed.
        writeRows = true;
        w.commands().Command2->click();
        QCOMPARE(openings, 2);
        QCOMPARE(w.outline().Outline1->listCount(), 2);
        QCOMPARE(w.outline().Outline1->itemText(0), QString("Acme"));
        writeRows = false;
        w.commands().mnuCapture->trigger();
        QCOMPARE(openings, 3);
    }
};

int main(int argc, char* argv[]) {
    prepareBrowserEngine();
    QApplication app(argc, argv);
    TestCaptureScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_capture_screen.moc"
