#include "capture/capture_harness.h"
#include "capture/screen/capture_browser.h"
#include "capture/screen/frm_capture.h"
#include "capture/screen/frm_column_mapping.h"
#include "capture/web/browser_setup.h"
#include "startup/app_context.h"
#include "support/memory_settings.h"
#include "support/test_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace gainbook;

namespace {

constexpr int kTimeout = 30000;

struct Screen {
    test::TestDatabase t;
    test::MemorySettings settings;
    test::RecordingPrompter prompter;
    AppContext context{QDir(test::testData("../..")).absolutePath(), settings};
    std::unique_ptr<frmCapture> w;

    Screen() {
        context.database().open(t.path());
        w = std::make_unique<frmCapture>(context, prompter);
        w->show();
    }

    void choose(const QString& entry) {
        const auto items = w->List1->findItems(entry, Qt::MatchExactly);
        QVERIFY2(items.size() == 1, qPrintable(entry));
        w->List1->setCurrentItem(items.front());
    }

    void open(const QString& file) {
        w->Text1->setText(file);
        QTest::keyClick(w->Text1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(w->Status->text() == "Done", kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!w->browser().isLoading(), kTimeout);
    }

    int capture() {
        QSignalSpy finished(w.get(), &frmCapture::captureFinished);
        w->Command1->click();
        if (finished.isEmpty() && !finished.wait(kTimeout))
            return -1;
        return finished.front().front().toInt();
    }
};

QStringList previewRows(const frmColumnMapping& d) {
    QStringList rows;
    for (int r = 0; r < d.preview->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < d.preview->columnCount(); ++c)
            cells << d.preview->item(r, c)->text();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

// The column mapping offered when "Other" finds no headings, driven as a
// user would: drop-downs, the first row, the name, the preview.
class TestMappingScreen : public QObject {
    Q_OBJECT

public:
    // The engine reads its switches before the application object exists.
    static void initMain() { prepareBrowserEngine(); }

private slots:
    void mapSaveAndReuse() {
        Screen s;
        s.choose("Other");
        s.w->Check1->setChecked(false);
        s.w->Text2->setText("CU");
        s.open(test::testData("capture/mapping/no_headings.csv"));

        QStringList seen;
        s.w->showMapping = [&](frmColumnMapping& d) {
            // Nothing to store until every role has a column.
            seen << QString::number(d.okButton->isEnabled()) + u'|' + d.note->text();
            const QStringList roles{"Date", "Symbol", "Type", "Quantity", "Amount"};
            for (int c = 0; c < roles.size(); ++c)
                d.roles[c]->setCurrentText(roles[c]);
            // Row 1 is a title: as a data row it is a row of no trade.
            d.firstRow->setValue(1);
            seen << d.note->text();
            d.firstRow->setValue(2);
            seen << previewRows(d);
            // Two columns for one role are refused.
            d.roles[0]->setCurrentText("Symbol");
            seen << QString::number(d.okButton->isEnabled());
            d.roles[0]->setCurrentText("Date");
            d.nameEdit->setText("Other");
            seen << QString::number(d.okButton->isEnabled());
            d.nameEdit->setText("Credit union");
            seen << QString::number(d.okButton->isEnabled());
            return true;
        };
        QCOMPARE(s.capture(), 2);
        QCOMPARE(seen,
                 (QStringList{"0|Choose a column for each of Date, Type, Symbol, Quantity and "
                              "Amount. Type a name to save the mapping under.",
                              "Rows to store: 2; skipped: 0; no buy or sell: 2. Type a "
                              "name to save the mapping under.",
                              "AAPL|10|Bought|03/15/2024|1500", "AAPL|5|Sold|03/18/2024|800", "0",
                              "0", "1"}));
        QCOMPARE(test::storedRows(s.t.connection()),
                 (QStringList{"CU|All|AAPL|10|Bought|03/15/2024|1500|",
                              "CU|All|AAPL|5|Sold|03/18/2024|800|"}));
        QCOMPARE(s.w->List1->currentItem()->text(), QString("Credit union"));

        // A new screen offers the saved mapping and captures with it at once.
        s.w.reset();
        s.w = std::make_unique<frmCapture>(s.context, s.prompter);
        s.w->show();
        bool asked = false;
        s.w->showMapping = [&](frmColumnMapping&) { return asked = true; };
        s.choose("Credit union");
        QCOMPARE(s.w->Text2->text(), QString("Other1"));
        s.open(test::testData("capture/mapping/no_headings.csv"));
        s.prompter.answers.enqueue(true);
        QCOMPARE(s.capture(), 2);
        QVERIFY(!asked);
        QCOMPARE(test::storedRows(s.t.connection()).size(), 4);
    }

    void cancelledMappingStoresNothing() {
        Screen s;
        s.choose("Other");
        s.open(test::testData("capture/mapping/no_headings.csv"));
        s.w->showMapping = [](frmColumnMapping&) { return false; };
        QCOMPARE(s.capture(), 0);
        QCOMPARE(s.prompter.messages.last(),
                 QString("Please make sure Data conatins  Type , Symbol/Description , "
                         "Qunatity,Amount, Date, columns as header row"));
        QVERIFY(test::storedRows(s.t.connection()).isEmpty());
        QCOMPARE(s.w->List1->findItems("Credit union", Qt::MatchExactly).size(), 0);
    }
};

GAINBOOK_TEST(TestMappingScreen)
#include "test_mapping_screen.moc"
