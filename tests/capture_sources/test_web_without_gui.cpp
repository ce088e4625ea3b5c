#include "capture/web/document_loader.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

// A command-line run that forgot the graphical application object must get
// a message, not a crash; spreadsheets need no engine and still open.
class TestWebWithoutGui : public QObject {
    Q_OBJECT

private slots:
    void pageNeedsGuiApplication() {
        QString error;
        const QString page = test::testData(QStringLiteral("capture/sources/page.html"));
        QVERIFY(!loadDocument(page, &error));
        QVERIFY2(error.contains(QStringLiteral("graphical application")), qPrintable(error));
    }

    void sheetOpensWithoutGui() {
        QString error;
        const QString sheet = test::testData(QStringLiteral("capture/sources/trades.xlsx"));
        const auto doc = loadDocument(sheet, &error);
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(doc->isSheet());
        QCOMPARE(doc->address, sheet);
    }
};

GAINBOOK_GUILESS_TEST(TestWebWithoutGui)
#include "test_web_without_gui.moc"
