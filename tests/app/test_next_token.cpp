#include "platform/next_token.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

class TestNextToken : public QObject {
    Q_OBJECT

private slots:
    // Each row feeds a first text and then empty texts; the tokens and the
    // remainder after each call are compared.
    void sequence_data() {
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QStringList>("remainders");
        QTest::newRow("three items, blank after comma")
            << ","
            << "a, b,c" << QStringList{"a", "b", "c", "c"} << QStringList{"b,c", "c", "c", "c"};
        QTest::newRow("leading delimiter keeps the rest untrimmed")
            << ","
            << ", x ,y" << QStringList{"", " x ", "y"} << QStringList{" x ,y", "y", "y"};
        QTest::newRow("no delimiter at all")
            << ","
            << "solo" << QStringList{"solo", ""} << QStringList{"", ""};
        QTest::newRow("trailing blanks trimmed from the rest")
            << " "
            << "Bought  100 IBM  " << QStringList{"Bought", "100", "IBM", "IBM"}
            << QStringList{"100 IBM", "IBM", "IBM", "IBM"};
        QTest::newRow("case-sensitive delimiter")
            << "X"
            << "axbXc" << QStringList{"axb", "c"} << QStringList{"c", "c"};
        // Found whole, but the rest starts one character after it begins.
        QTest::newRow("long delimiter cuts one character")
            << "::"
            << "a::b" << QStringList{"a"} << QStringList{":b"};
    }
    void sequence() {
        QFETCH(QString, delimiter);
        QFETCH(QString, text);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, remainders);
        Tokenizer t;
        for (int i = 0; i < tokens.size(); ++i) {
            QCOMPARE(t.NextToken(delimiter, i == 0 ? text : QString()), tokens[i]);
            QCOMPARE(t.TokenRemainder().toString(), remainders[i]);
        }
    }

    // Walking a long text word by word never copies what is left of it: the
    // remainder after every call is a window into the very text given, so
    // the walk costs time in proportion to the text, not to its square.
    void walkCopiesNoRest() {
        QStringList words;
        for (int i = 0; i < 20000; ++i)
            words << QStringLiteral("w%1").arg(i);
        const QString text = words.join(QStringLiteral("  ")) + QStringLiteral("  ");
        Tokenizer t;
        const QChar* const first = text.constData();
        const QChar* const last = first + text.size();
        QString token = t.NextToken(" ", text);
        for (int i = 1; i < words.size(); ++i) {
            const QStringView rest = t.TokenRemainder();
            QVERIFY2(rest.data() >= first && rest.data() + rest.size() <= last,
                     "the remainder was copied");
            QCOMPARE(rest.data() + rest.size(), last - 2); // trailing blanks trimmed once
            token = t.NextToken(" ", QString());
            if (token != words[i])
                QCOMPARE(token, words[i]);
        }
        QCOMPARE(t.NextToken(" ", QString()), words.last());
    }
};

GAINBOOK_GUILESS_TEST(TestNextToken)
#include "test_next_token.moc"
