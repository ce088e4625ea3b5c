#include "platform/next_token.h"

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
    }
    void sequence() {
        QFETCH(QString, delimiter);
        QFETCH(QString, text);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, remainders);
        Tokenizer t;
        for (int i = 0; i < tokens.size(); ++i) {
            QCOMPARE(t.NextToken(delimiter, i == 0 ? text : QString()), tokens[i]);
            QCOMPARE(t.TokenRemainder(), remainders[i]);
        }
    }

    // A delimiter of several characters is found whole, but the rest starts
    // one character after where it begins.
    void longDelimiterCutsOneCharacter() {
        Tokenizer t;
        QCOMPARE(t.NextToken("::", "a::b"), QStringLiteral("a"));
        QCOMPARE(t.TokenRemainder(), QStringLiteral(":b"));
    }
};

int runNextTokenTests(int argc, char** argv) {
    TestNextToken t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_next_token.moc"
