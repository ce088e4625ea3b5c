#include "capture/screen/frm_capture.h"
#include "capture/screen/frm_reconcile.h"
#include "capture/web/browser_setup.h"
#include "startup/app_context.h"
#include "store/tax_table.h"
#include "support/memory_settings.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace gainbook;

namespace {

QString applicationDirectory() {
    return QDir(test::testData(QStringLiteral("../.."))).absolutePath();
}

struct Screen {
    test::TestDatabase t;
    test::MemorySettings settings;
    test::RecordingPrompter prompter;
    AppContext context{applicationDirectory(), settings};
    std::unique_ptr<frmCapture> w;

    Screen() {
        context.database().open(t.path());
        w = std::make_unique<frmCapture>(context, prompter);
    }
};

} // namespace

// The realized-gain buttons of the capture screen: the file in the address
// box taken as tax records, and the reconciliation grid.
class TestGainsScreen : public QObject {
    Q_OBJECT

public:
    // The engine reads its switches before the application object exists.
    static void initMain() { prepareBrowserEngine(); }

private slots:
    void importThenReconcile() {
        Screen s;
        s.w->Text1->setText(test::testData("gains/records.csv"));
        s.w->Text2->setText("Brokerage");
        QSignalSpy finished(s.w.get(), &frmCapture::captureFinished);
        s.w->ImportGains->click();
        QCOMPARE(s.prompter.messages,
                 QStringList{QString("Realized gains import into Brokerage wrote 5 tax records to "
                                     "%1.\n5 records successfully added.")
                                 .arg(s.t.path())});
        QCOMPARE(finished.size(), 1);
        QCOMPARE(countTaxRecsOfAccount(s.t.connection(), "Brokerage"), 5);

        QStringList shown;
        QString saved;
        s.w->Text1->setText(test::testData("gains/broker.csv"));
        s.w->showReconcile = [&](frmReconcile& grid) {
            for (int r = 0; r < grid.grid->rowCount(); ++r)
                shown << grid.grid->item(r, 0)->text() + u'|' + grid.grid->item(r, 1)->text();
            shown << grid.summary->text();
            saved = s.t.folder() + "/reconcile.csv";
            grid.chooseSaveFile = [&] { return saved; };
            grid.saveButton->click();
        };
        s.w->Reconcile->click();
        QCOMPARE(shown, (QStringList{"Matched|AAPL", "Matched|MSFT", "Differs|IBM", "Differs|T",
                                     "Only in file|NVDA", "Only in records|INTC",
                                     "2 matched, 2 differ, 1 only in the file, 1 only in the "
                                     "records"}));
        QCOMPARE(test::readBytes(saved), test::readBytes(test::testData("gains/reconcile.csv")));
    }

    // Neither button writes or shows a grid for a source it refuses.
    void refusals() {
        for (const QStringList& f :
             {QStringList{"ImportGains", "", "gains/records.csv", "Please enter an Account Name"},
              QStringList{"Reconcile", "A", "capture/presets/schwab.csv",
                          "No data could be captured. Please make sure that right data is there "
                          "in file"}}) {
            Screen s;
            bool gridShown = false;
            s.w->showReconcile = [&](frmReconcile&) { gridShown = true; };
            s.w->Text1->setText(test::testData(f[2]));
            s.w->Text2->setText(f[1]);
            s.w->findChild<QPushButton*>(f[0])->click();
            QCOMPARE(s.prompter.messages, QStringList{f[3]});
            QVERIFY(!gridShown);
            QCOMPARE(countTaxRecsOfAccount(s.t.connection(), f[1]), 0);
        }
    }
};

GAINBOOK_TEST(TestGainsScreen)
#include "test_gains_screen.moc"
