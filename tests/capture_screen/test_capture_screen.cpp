#include "capture/capture_harness.h"
#include "capture/screen/attach_capture_screen.h"
#include "capture/screen/capture_browser.h"
#include "capture/screen/frm_capture.h"
#include "capture/web/browser_setup.h"
#include "main_window/screen/account_outline_pane.h"
#include "main_window/screen/frm_main.h"
#include "main_window/screen/main_commands.h"
#include "startup/app_context.h"
#include "support/memory_settings.h"
#include "support/test_files.h"
#include "support/test_main.h"
#include "widgets/outline.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

using namespace gainbook;
using gainbook::test::MemorySettings;
using gainbook::test::RecordingPrompter;
using gainbook::test::TableRow;
using gainbook::test::tableRows;
using gainbook::test::testData;
using gainbook::test::TestDatabase;

namespace {

// The source tree stands in for the application directory: its docs folder
// holds the shipped pages.
QString applicationDirectory() {
    return QDir(testData(QStringLiteral("../.."))).absolutePath();
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
    QStringList shown; // what the screen showed at each message
    AppContext context{applicationDirectory(), settings};
    std::unique_ptr<frmCapture> w;

    Screen() {
        context.database().open(t.path());
        w = std::make_unique<frmCapture>(context, prompter);
        prompter.onMessage = [this] {
            const auto* busy = w->findChild<QProgressDialog*>("captureProgress");
            shown << w->Status->text() + " / " + w->Text2->text() + " / " + w->Text3->text() +
                         (busy && busy->isVisible() ? " / busy" : "");
        };
        QSignalSpy loaded(w->WebBrowser1->page(), &QWebEnginePage::loadFinished);
        w->show();
        // The shipped page first, so that it cannot finish in the middle of
        // what a test opens.
        loaded.wait(kLoadTimeout);
    }

    void clickEntry(const QString& entry) {
        const auto items = w->List1->findItems(entry, Qt::MatchExactly);
        QVERIFY2(items.size() == 1, qPrintable(entry));
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {},
                          w->List1->visualItemRect(items.front()).center());
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

QString option(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

} // namespace

class TestCaptureScreen : public QObject {
    Q_OBJECT

public:
    // The engine reads its switches before the application object exists.
    static void initMain() { prepareBrowserEngine(); }

private slots:
    void opensOnTheFirstEntryWithTheShippedPage() {
        Screen s;
        QCOMPARE(s.w->List1->currentRow(), 0);
        QVERIFY(s.w->Text4->isHidden());
        // The page shown at start explains the screen but is no document
        // to capture: the button waits for the user's own page.
        QCOMPARE(s.w->WebBrowser1->url(), QUrl::fromLocalFile(welcomePath()));
        QVERIFY(!s.w->Command1->isEnabled());
        // Today's brokers first, those of the past after "Other".
        QCOMPARE(s.w->List1->item(1)->text(), QString("Schwab"));
        QCOMPARE(s.w->List1->item(s.w->List1->count() - 6)->text(), QString("Etrade"));

        // The next screen opens on the entry and the file of the last
        // capture, and keeps the file when another entry is chosen.
        const QString file = QDir::toNativeSeparators(testData("capture/other/history.csv"));
        s.settings.setValue("Capture", "LastEntry", "Other");
        s.settings.setValue("Capture", "LastFile", file);
        frmCapture next(s.context, s.prompter);
        QCOMPARE(next.List1->currentItem()->text(), QString("Other"));
        QCOMPARE(next.Text1->text(), file);
        next.List1->setCurrentRow(1);
        next.List1_Click();
        QCOMPARE(next.Text1->text(), file);
    }

    // What choosing an entry sets, from another entry with typed fields;
    // a click on Open or Enter in the address box enables "Capture Data" at
    // once, before the page has come.
    void brokerEntrySetsTheFields_data() {
        QTest::addColumn<QStringList>("f"); // address, derive, account, paste, month
        for (const TableRow& r : tableRows(R"(
        Etrade ; https://us.etrade.com/ ; yes ; Typed ; no ; All
        Wit Capital ; here ; no ; Wit-Account1 ; yes ; All
        Datek ; welcome ; yes ; Typed ; no ; Jan
        FBR ; welcome ; no ; FBR-Account1 ; no ; All
        Other ; here ; no ; Other1 ; yes ; All
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void brokerEntrySetsTheFields() {
        const QString entry = QTest::currentDataTag();
        QFETCH(QStringList, f);
        const bool derive = f[1] == "yes";
        Screen s;
        s.clickEntry(entry == "Other" ? "Etrade" : "Other");
        s.w->Text2->setText("Typed");
        s.w->Text3->setText("Jan");
        s.w->Check1->setChecked(false);
        s.clickEntry(entry);
        const QString address = f[0] == "here"      ? QDir::currentPath()
                                : f[0] == "welcome" ? QFileInfo(welcomePath()).canonicalFilePath()
                                                    : f[0];
        QCOMPARE(f[0] == "welcome" ? QFileInfo(s.w->Text1->text()).canonicalFilePath()
                                   : s.w->Text1->text(),
                 address);
        QCOMPARE((QStringList{s.w->Text2->text(), s.w->Text3->text()}), (QStringList{f[2], f[4]}));
        QCOMPARE(s.w->Check1->isChecked(), derive);
        QCOMPARE(s.w->Check2->isEnabled(), f[3] == "yes");
        // The filing fields can be typed in exactly when nothing is derived.
        QCOMPARE(s.w->Text2->isEnabled() && s.w->Text3->isEnabled(), !derive);

        s.w->Text1->setText(testData("capture/fbr/statement.html"));
        if (derive)
            QTest::keyClick(s.w->Text1, Qt::Key_Return);
        else
            QTest::mouseClick(s.w->Command3, Qt::LeftButton);
        QVERIFY(s.w->Command1->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(s.w->Status->text(), QString("Done"), kLoadTimeout);
    }

    void pasteDataSwapsTheBrowserAndThePasteBox() {
        Screen s;
        s.clickEntry("Wit Capital");
        s.w->Check2->click();
        QVERIFY(s.w->Text4->isVisible() && !s.w->browser().isVisible());
        s.w->Check2->click();
        QVERIFY(!s.w->Text4->isVisible() && s.w->browser().isVisible());

        // Choosing a broker, the same one again included, brings the
        // browser back; the box keeps its check mark.
        s.w->Check2->click();
        s.clickEntry("Wit Capital");
        QVERIFY(s.w->browser().isVisible() && !s.w->Text4->isVisible());
        QVERIFY(s.w->Check2->isChecked());
        s.w->Check2->click();
        s.w->Check2->click(); // the paste box again
        s.clickEntry("Etrade");
        QVERIFY(s.w->browser().isVisible());
        QVERIFY(!s.w->Check2->isEnabled());
    }

    void captureMatchesTheCommandLineTool_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("page") << "datek/history.html";
        QTest::newRow("spreadsheet") << "other/history.xlsx";
    }
    void captureMatchesTheCommandLineTool() {
        QFETCH(QString, source);
        source = testData("capture/" + source);
        const test::ExpectedCapture expected = test::readExpected(source);
        const QStringList& args = expected.args;
        const QStringList& rows = expected.rows;
        QVERIFY(!rows.isEmpty());

        Screen s;
        s.clickEntry(option(args, "--broker"));
        if (const QString account = option(args, "--account"); !account.isEmpty())
            s.w->Text2->setText(account);
        s.open(source);
        QVERIFY(s.prompter.messages.isEmpty());
        QCOMPARE(s.w->browser().showsSheet(), source.endsWith(".xlsx"));
        QCOMPARE(s.capture(), int(rows.size()));
        const QStringList last = rows.back().split(u'|');
        const QString result =
            QString("Capture wrote %1 to %2.\n%3 records successfully added.")
                .arg(rows.size() == 1 ? QString("1 trade") : QString("%1 trades").arg(rows.size()),
                     s.t.path())
                .arg(rows.size());
        QCOMPARE(s.prompter.messages.size(), 1);
        QVERIFY2(s.prompter.messages.first().startsWith(result),
                 qPrintable(s.prompter.messages.first()));
        QCOMPARE(s.shown.first(), QString("%1 records successfully added. / %2 / %3")
                                      .arg(rows.size())
                                      .arg(last[0], last[1]));
        QCOMPARE(s.settings.value("Capture", "LastEntry", QString()),
                 s.w->List1->currentItem()->text());
    }

    // Which field is missing is the core's check (test_capture_run); here
    // what the screen does with the refusal.
    void anEmptyFieldStopsTheRun() {
        Screen s;
        s.clickEntry("Other");
        s.open(testData("capture/other/history.csv"));
        s.w->Text2->setText(QString());
        s.w->Text3->setText("All");
        QCOMPARE(s.capture(), 0);
        QCOMPARE(s.prompter.messages, QStringList{"Please enter an Account Name"});
        QCOMPARE(s.w->Status->text(), QString());
        QVERIFY(s.rows().isEmpty());
        QVERIFY(s.w->Command1->isEnabled());
    }

    // The page is read before anything is asked: a page of another broker
    // ends with "no data" alone, and only rows found bring the question
    // about the rows already there.
    void duplicateQuestionOnlyForRowsFound_data() {
        QTest::addColumn<QStringList>("f"); // page, answer, asked, message, rows, status
        for (const TableRow& r : tableRows(R"(
        another broker's page ; datek/history.html ; yes ; no ; No data could be captured ; 1 ; Processing
        rows found, Yes ; fbr/statement.html ; yes ; yes ; Capture wrote 2 trades to ; 3 ; 2 records successfully added.
        rows found, No ; fbr/statement.html ; no ; yes ;  ; 1 ;
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void duplicateQuestionOnlyForRowsFound() {
        QFETCH(QStringList, f);
        Screen s;
        s.t.addTxn("FBR-Account1", "All", "OLD", 1, kBought, QDate(2000, 1, 3), 10);
        s.clickEntry("FBR");
        s.open(testData("capture/" + f[0]));
        s.prompter.answers.enqueue(f[1] == "yes");
        s.capture();
        QCOMPARE(s.prompter.questions,
                 f[2] == "yes" ? QStringList{"Some data already exist for this account. Do you "
                                             "still want to add this data ?"}
                               : QStringList());
        QCOMPARE(s.prompter.messages.size(), f[3].isEmpty() ? 0 : 1);
        QCOMPARE(s.prompter.messages.value(0).left(f[3].size()), f[3]);
        QCOMPARE(s.rows().size(), f[4].toInt());
        QCOMPARE(s.w->Status->text(), f.value(5));
    }

    // The page of one broker is no document for another: choosing another
    // entry shows the shipped page and "Capture Data" waits for a new one.
    // A spreadsheet is read by whichever entry is chosen for it: it stays.
    void anotherBrokerClearsThePage_data() {
        QTest::addColumn<QStringList>("f"); // first entry, file, next entry, kept
        for (const TableRow& r : tableRows(R"(
        another entry ; FBR ; fbr/statement.html ; Other ; no
        the same entry again ; FBR ; fbr/statement.html ; FBR ; yes
        a spreadsheet, another entry ; Detect ; other/history.csv ; Other ; yes
        )"))
            QTest::newRow(r.name) << r.fields;
    }
    void anotherBrokerClearsThePage() {
        QFETCH(QStringList, f);
        const QString first = f[0], file = f[1], next = f[2];
        const bool kept = f[3] == "yes";
        Screen s;
        s.clickEntry(first);
        const QUrl statement = QUrl::fromLocalFile(testData("capture/" + file));
        s.open(statement.toLocalFile());
        QVERIFY(s.w->Command1->isEnabled());
        s.clickEntry(next);
        QCOMPARE(s.w->Command1->isEnabled(), kept);
        QCOMPARE(s.w->Status->text(), kept ? QString("Done") : QString());
        if (s.w->browser().showsSheet())
            QCOMPARE(s.w->Text1->text(), QDir::toNativeSeparators(statement.toLocalFile()));
        else
            QTRY_COMPARE_WITH_TIMEOUT(s.w->WebBrowser1->url(),
                                      kept ? statement : QUrl::fromLocalFile(welcomePath()),
                                      kLoadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!s.w->browser().isLoading(), kLoadTimeout);
        // The shipped page, once loaded, does not enable it either.
        QTest::qWait(100);
        QCOMPARE(s.w->Command1->isEnabled(), kept);
        if (kept)
            return;
        s.open(testData("capture/other/history.csv"));
        QVERIFY(s.w->Command1->isEnabled());
        QCOMPARE(s.capture(), 3);
    }

    // A long capture asks about the split its download holds after its
    // rows are written, with no progress window over the question, takes
    // the answer and ends in its summary.
    void aQuestionAfterTheRowsIsAnswered() {
        Screen s;
        constexpr int kBuys = 60000;
        QByteArray csv = "Date,Type,Symbol,Quantity,Amount\n";
        for (int i = 0; i < kBuys; ++i)
            csv += "1/3/2024,Buy,XYZ,1,-10\n";
        csv += "6/10/2024,Stock Split,XYZ," + QByteArray::number(9 * kBuys) + ",\n";
        const QString file = s.t.folder() + "/split.csv";
        test::writeBytes(file, csv);
        bool covered = false;
        s.prompter.onQuestion = [&] {
            for (const QProgressDialog* window : s.w->findChildren<QProgressDialog*>())
                covered = covered || window->isVisible();
        };
        s.clickEntry("Other");
        s.open(file);
        s.w->Check1->setChecked(false);
        s.w->Text2->setText("A");
        s.w->Text3->setText("All");
        s.prompter.answers.enqueue(true);
        QCOMPARE(s.capture(), kBuys);
        QCOMPARE(s.prompter.questions, QStringList{"Record a 10:1 split of XYZ on 06/10/2024?"});
        QVERIFY(!covered);
        QCOMPARE(s.prompter.messages,
                 QStringList{QString("Capture wrote 60,000 trades to %1.\n60000 records "
                                     "successfully added.\nRecorded: a 10:1 split of XYZ on "
                                     "06/10/2024.")
                                 .arg(s.t.path())});
    }

    void aRunCannotStartTwice() {
        Screen s;
        s.clickEntry("FBR");
        s.open(testData("capture/fbr/statement.html"));
        QSignalSpy finished(s.w.get(), &frmCapture::captureFinished);
        s.w->Command1->click();
        // The page is still being read.
        QVERIFY(finished.isEmpty());
        QVERIFY(s.w->isCapturing());
        QVERIFY(!s.w->Command1->isEnabled());
        QPointer<QProgressDialog> busy = s.w->findChild<QProgressDialog*>("captureProgress");
        QVERIFY(busy && busy->isVisible());
        s.w->Command1_Click();
        QVERIFY(finished.wait(kLoadTimeout));
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        // A second run would have asked about the rows of the first.
        QVERIFY(s.prompter.questions.isEmpty());
        QCOMPARE(s.rows().size(), 2);
        QVERIFY(s.w->Command1->isEnabled());
        QVERIFY(!busy || !busy->isVisible());
    }

    // A spreadsheet reached from the page (a folder's file list, a saved
    // page's link, a site's download) is shown as the sheet to capture.
    void spreadsheetsReachedFromThePageBecomeTheSheet_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("rows");
        const QUrl csv = QUrl::fromLocalFile(testData("capture/other/history.csv"));
        QTest::newRow("file link") << QString("location.href = '%1';").arg(csv.toString()) << 3;
        QTest::newRow("download")
            << QString("var a = document.createElement('a');"
                       "a.href = 'data:text/csv,Date%2CType%2CSymbol%2CQuantity%2CAmount%0A"
                       "3%2F1%2F2000%2CBuy%2CIBM%2C10%2C1000%0A';"
                       "a.download = 'site.csv'; document.body.appendChild(a); a.click();")
            << 1;
    }
    void spreadsheetsReachedFromThePageBecomeTheSheet() {
        QFETCH(QString, script);
        QFETCH(int, rows);
        Screen s;
        s.clickEntry("Other");
        // The entry's address is a folder: the browser lists its files.
        s.open(testData("capture/other"));
        QVERIFY(!s.w->browser().showsSheet());
        s.w->WebBrowser1->page()->runJavaScript(script);
        QTRY_VERIFY_WITH_TIMEOUT(s.w->browser().showsSheet(), kLoadTimeout);
        QVERIFY(s.prompter.messages.isEmpty());
        QCOMPARE(s.w->Status->text(), QString("Done"));
        QCOMPARE(s.capture(), rows);
    }

    // A page the engine cannot open is told in the status line (its own
    // error page shows, no message box on top); a sheet that cannot be read
    // by one message, also shown in the status line.
    void aSourceThatCannotBeOpenedIsReported() {
        Screen s;
        const QString missing = s.t.folder() + "/missing.html";
        s.w->Text1->setText(missing);
        QTest::keyClick(s.w->Text1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(s.w->Status->text().contains("could not be opened"), kLoadTimeout);
        QVERIFY(s.w->Status->text().startsWith(missing));
        QVERIFY(s.prompter.messages.isEmpty());
        s.clickEntry("Other");
        s.w->Text1->setText(testData("capture/sources/not_a_workbook.xlsx"));
        QTest::keyClick(s.w->Text1, Qt::Key_Return);
        QCOMPARE(s.prompter.messages, QStringList{s.w->Status->text()});
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
            if (writeRows) {
                t.addTxn("Acme", "All", "IBM", 10, kBought, QDate(2000, 1, 3), 1000);
                t.addTxn("Acme", "All", "IBM", 4, kSold, QDate(2024, 5, 6), 800);
                emit screen->captureFinished(2);
            }
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
        // A year never picked follows the sells the capture brought.
        QCOMPARE(w.cboYear->currentText(), QString("2024"));
        QCOMPARE(context.taxYear().year, 2024);
        writeRows = false;
        w.commands().mnuCapture->trigger();
        QCOMPARE(openings, 3);
    }
};

GAINBOOK_TEST(TestCaptureScreen)

#include "test_capture_screen.moc"
