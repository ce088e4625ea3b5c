#include "capture/cell_values.h"
#include "capture/scan_helpers.h"
#include "page_builder.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

Q_DECLARE_METATYPE(std::optional<double>)

// The parsers use these helpers on every fixture page; the cases here are
// the edges those pages do not reach.
class TestScanHelpers : public QObject {
    Q_OBJECT

private slots:
    // "text|CompactSpaces|CompactJunk"
    void compact_data() {
        QTest::addColumn<QStringList>("f");
        QTest::newRow("leading blanks kept once") << QStringList{"  x", " x", "X"};
        QTest::newRow("slash, backslash, dash and comma")
            << QStringList{"3/15\\b-c,d", "3/15\\b-c,d", "315BCD"};
    }
    void compact() {
        QFETCH(QStringList, f);
        QCOMPARE((QStringList{f[0], CompactSpaces(f[0]), CompactJunk(f[0])}), f);
    }

    // From, tag, value (none when absent) and the index found, over the
    // elements B AMOUNT, TD AMOUNT DUE, TD Amount, TR amount, TD AMOUNT.
    void skipForTag_data() {
        QTest::addColumn<QStringList>("f");
        for (const char* row :
             {"only after i|1|TD||2", "none left: allcount|4|TD||5", "past the end: i + 1|8|TD||9",
              "tag compared exactly|0|td||5", "value is a prefix|0|TD|AMOUNT|1",
              "value is case-sensitive|1|TD|AMOUNT|4", "value and tag both|0|TR|AMOUNT|5"}) {
            const QStringList f = QString(row).split(u'|');
            QTest::newRow(qPrintable(f[0])) << f;
        }
    }
    void skipForTag() {
        QFETCH(QStringList, f);
        test::PageBuilder b;
        b.add("B", "AMOUNT")
            .add("TD", "AMOUNT DUE")
            .add("TD", "Amount")
            .add("TR", "amount")
            .add("TD", "AMOUNT");
        const int n = int(b.elements.size());
        QCOMPARE(f[3].isEmpty() ? SkipForTag(f[1].toInt(), f[2], b.elements, n)
                                : SkipForTagValue(f[1].toInt(), f[2], b.elements, n, f[3]),
                 f[4].toInt());
    }

    // The words after "start": the current and the previous token once
    // Bought or Sold is passed.
    void skipTillTok_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tokens");
        QTest::newRow("first token found") << "a b Sold c"
                                           << "Sold b";
        QTest::newRow("missing word: end of text") << "a b c"
                                                   << "c c";
        QTest::newRow("two equal words stop") << "a x x Sold"
                                              << "x x";
        QTest::newRow("case-sensitive") << "a sold b"
                                        << "b b";
    }
    void skipTillTok() {
        QFETCH(QString, text);
        QFETCH(QString, tokens);
        PageWords words;
        // The first word is taken by the caller, as the pasted-text reader does.
        words.tokenizer.NextToken(" ", "start " + text);
        SkipTillTok(words, "Bought", "Sold");
        QCOMPARE(words.CurToken + u' ' + words.PrevToken, tokens);
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("value");
        QTest::newRow("parentheses inside") << "$(2,000.00)" << std::optional<double>(-2000);
        QTest::newRow("blanks") << " 12.5 " << std::optional<double>(12.5);
        QTest::newRow("empty") << "" << std::optional<double>();
        QTest::newRow("unclosed parenthesis") << "(12" << std::optional<double>();
        QTest::newRow("two numbers") << "12 13x" << std::optional<double>();
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, value);
        QCOMPARE(numberFromCell(text), value);
    }
};

GAINBOOK_GUILESS_TEST(TestScanHelpers)
#include "test_scan_helpers.moc"
