#include "capture/page_document_json.h"
#include "support/test_main.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace gainbook;

namespace {

// Everything a parser can read of a document, one line per element, frame
// and cell; numbers with every digit so that a rounding shows.
QStringList describe(const PageDocument& doc, const QString& indent = {}) {
    QStringList lines{indent + "address " + doc.address};
    for (const PageElement& e : doc.elements)
        lines << indent + e.tagName + "|" + e.innerText;
    if (doc.sheet) {
        lines << indent + QString::asprintf("sheet %dx%d", doc.sheet->rowCount(),
                                            doc.sheet->columnCount());
        for (int r = 1; r <= doc.sheet->rowCount(); ++r) {
            for (int c = 1; c <= doc.sheet->columnCount(); ++c) {
                const SheetCell& cell = doc.sheet->cell(r, c);
                lines << indent + QStringLiteral("%1,%2 %3 %4")
                                      .arg(r)
                                      .arg(c)
                                      .arg(cell.text, cell.number
                                                          ? QString::number(*cell.number, 'g', 17)
                                                          : QStringLiteral("-"));
            }
        }
    }
    for (const PageDocument& frame : doc.frames)
        lines << describe(frame, indent + "  ");
    return lines;
}

PageDocument page(const QString& address, const QVector<PageElement>& elements,
                  const QVector<PageDocument>& frames = {}) {
    PageDocument doc;
    doc.address = address;
    doc.elements = elements;
    doc.frames = frames;
    return doc;
}

} // namespace

Q_DECLARE_METATYPE(PageDocument)

// The page snapshot helper hands its document to gainbook-cli as JSON: what
// a parser reads must come back unchanged, and a damaged answer must be
// refused rather than read as an empty page.
class TestPageDocumentJson : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<PageDocument>("document");
        QTest::newRow("empty") << PageDocument{};
        QTest::newRow("texts with quotes, breaks and non-ASCII")
            << page("file:///tmp/a b.html", {{"TD", "say \"hi\"\n\tthere \\ now"},
                                             {"B", QString::fromUtf8("Ünïcode €")},
                                             {"TR", ""}});
        QTest::newRow("frames nested in order") << page(
            "top", {{"HTML", "x"}},
            {page("one", {{"TD", "1"}}, {page("inner", {{"TD", "deep"}})}), page("two", {})});
        PageDocument sheet;
        sheet.address = "trades.xls";
        SheetDocument cells;
        cells.setCell(1, 1, {"Date", std::nullopt});
        cells.setCell(1, 3, {"3/1/2000", 36586.0});
        cells.setCell(2, 2, {"1,234.5678", 1234.5678});
        cells.setCell(3, 1, {"tiny", 0.1 + 0.2});
        cells.setCell(3, 2, {"-", -0.0});
        cells.setCell(4, 4, {"big", 1e300});
        cells.setCell(5, 1, {"#NUM!", std::numeric_limits<double>::infinity()});
        cells.setCell(5, 2, {"#DIV/0!", -std::numeric_limits<double>::infinity()});
        cells.setCell(5, 3, {"#N/A", std::nan("")});
        sheet.sheet = cells;
        QTest::newRow("hosted sheet, ragged, odd numbers") << sheet;
    }
    void roundTrip() {
        QFETCH(PageDocument, document);
        QString error;
        const auto back = pageDocumentFromJson(pageDocumentToJson(document), &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(describe(*back), describe(document));
        QCOMPARE(back->isSheet(), document.isSheet());
    }

    void damagedAnswerRefused_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("cut short") << QByteArray(R"({"address":"a","tags":["TD"],"texts":)");
        QTest::newRow("not an object") << QByteArray("[]");
        QTest::newRow("a message instead") << QByteArray("File not found: x.html\n");
        QTest::newRow("fields missing") << QByteArray(R"({"address":"a"})");
        QTest::newRow("more tags than texts")
            << QByteArray(R"({"address":"a","tags":["TD","TR"],"texts":["x"],"frames":[]})");
        QTest::newRow("a frame that is not a document")
            << QByteArray(R"({"address":"a","tags":[],"texts":[],"frames":[7]})");
        QTest::newRow("a cell that is not a cell")
            << QByteArray(R"({"address":"a","tags":[],"texts":[],"frames":[],"sheet":[[5]]})");
        QTest::newRow("a number that is not a number") << QByteArray(
            R"({"address":"a","tags":[],"texts":[],"frames":[],"sheet":[[["x","y"]]]})");
    }
    void damagedAnswerRefused() {
        QFETCH(QByteArray, json);
        QString error;
        QVERIFY(!pageDocumentFromJson(json, &error));
        QVERIFY(!error.isEmpty());
    }
};

GAINBOOK_APPLESS_TEST(TestPageDocumentJson)
#include "test_page_document_json.moc"
