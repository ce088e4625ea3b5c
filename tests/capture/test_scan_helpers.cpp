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
    void compact_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spaces");
        QTest::addColumn<QString>("junk");
        auto row = [](const char* name, const QString& text, const QString& spaces,
                      const QString& junk) { QTest::newRow(name) << text << spaces << junk; };
        row("leading blanks kept once", "  x", " x", "X");
        row("slash, backslash, dash and comma", "3/15\\b-c,d", "3/15\\b-c,d", "315BCD");
    }
    void compact() {
        QFETCH(QString, text);
        QFETCH(QString, spaces);
        QFETCH(QString, junk);
        QCOMPARE(CompactSpaces(text), spaces);
        QCOMPARE(CompactJunk(text), junk);
    }

    void skipForTag_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        // 0 B, 1 TD AMOUNT DUE, 2 TD Amount, 3 TR, 4 TD AMOUNT
        QTest::newRow("only after i") << 1 << "TD" << QString() << 2;
        QTest::newRow("none left: allcount") << 4 << "TD" << QString() << 5;
        QTest::newRow("past the end: i + 1") << 8 << "TD" << QString() << 9;
        QTest::newRow("tag compared exactly") << 0 << "td" << QString() << 5;
        QTest::newRow("value is a prefix") << 0 << "TD" << QStringLiteral("AMOUNT") << 1;
        QTest::newRow("value is case-sensitive") << 1 << "TD" << QStringLiteral("AMOUNT") << 4;
        QTest::newRow("value and tag both") << 0 << "TR" << QStringLiteral("AMOUNT") << 5;
    }
    void skipForTag() {
        QFETCH(int, from);
        QFETCH(QString, tag);
        QFETCH(QString, value);
        QFETCH(int, expected);
        test::PageBuilder b;
        b.add("B", "AMOUNT")
            .add("TD", "AMOUNT DUE")
            .add("TD", "Amount")
            .add("TR", "amount")
            .add("TD", "AMOUNT");
        const int n = int(b.elements.size());
        const int got = value.isNull() ? SkipForTag(from, tag, b.elements, n)
                                       : SkipForTagValue(from, tag, b.elements, n, value);
        QCOMPARE(got, expected);
    }

    void skipTillTok_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cur");
        QTest::addColumn<QString>("prev");
        QTest::newRow("first token found") << "a b Sold c" << QStringLiteral("Sold") << "b";
        QTest::newRow("missing word: end of text") << "a b c" << QStringLiteral("c") << "c";
        QTest::newRow("two equal words stop") << "a x x Sold" << QStringLiteral("x") << "x";
        QTest::newRow("case-sensitive") << "a sold b" << QStringLiteral("b") << "b";
    }
    void skipTillTok() {
        QFETCH(QString, text);
        QFETCH(QString, cur);
        QFETCH(QString, prev);
        PageWords words;
        // The first word is taken by the caller, as the pasted-text reader does.
        words.tokenizer.NextToken(" ", "start " + text);
        SkipTillTok(words, "Bought", "Sold");
        QCOMPARE(words.CurToken, cur);
        QCOMPARE(words.PrevToken, prev);
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
