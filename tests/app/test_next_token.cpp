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
        auto row = [](const char* name, const char* delimiter, const char* text,
                      const QStringList& tokens, const QStringList& remainders) {
            QTest::newRow(name) << delimiter << text << tokens << remainders;
        };
        row("three items, blank after comma", ",", "a, b,c", {"a", "b", "c", "c"},
            {"b,c", "c", "c", "c"});
        row("leading delimiter keeps the rest untrimmed", ",", ", x ,y", {"", " x ", "y"},
            {" x ,y", "y", "y"});
        row("no delimiter at all", ",", "solo", {"solo", ""}, {"", ""});
        row("trailing blanks trimmed from the rest", " ", "Bought  100 IBM  ",
            {"Bought", "100", "IBM", "IBM"}, {"100 IBM", "IBM", "IBM", "IBM"});
        row("case-sensitive delimiter", "X", "axbXc", {"axb", "c"}, {"c", "c"});
        // Found whole, but the rest starts one character after it begins.
        row("long delimiter cuts one character", "::", "a::b", {"a"}, {":b"});
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
