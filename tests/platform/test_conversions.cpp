#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/money.h"
#include "platform/number_text.h"
#include "platform/quantity.h"
#include "platform/run_summary.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void numberFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("negative") << "-3.25" << -3.25;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("blanks inside digits") << "100 3M" << 1003.0;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("trailing text") << "42 shares" << 42.0;
        QTest::newRow("comma stops") << "1,234.50" << 1.0;
        QTest::newRow("currency sign") << "$5" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("overflow") << "1e999" << 0.0;
    }
    void numberFromText() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(gainbook::numberFromText(text), expected);
    }

    void numberToText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        // Each text reads back as its value, so plain numbers need no rows of
        // their own in numberFromText.
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("negative") << -2.75 << "-2.75";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("infinity") << qInf() << "0";
    }
    void numberToText() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(gainbook::numberToText(value), expected);
        if (qIsFinite(value))
            QCOMPARE(gainbook::numberFromText(expected), value == 0 ? 0.0 : value);
    }

    void roundCurrency() {
        QCOMPARE(gainbook::roundCurrency(1.23456), 1.2346);
        QCOMPARE(gainbook::roundCurrency(-1.23454), -1.2345);
        QCOMPARE(gainbook::roundCurrency(100.0 / 3.0), 33.3333);
    }

    void typedNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("expected");
        QTest::newRow("grouped") << "1,250.00" << true << 1250.0;
        QTest::newRow("parentheses") << "(12.50)" << true << -12.5;
        QTest::newRow("dollar") << "$1,250" << true << 1250.0;
        QTest::newRow("currency code") << "USD 1,234.56" << true << 1234.56;
        QTest::newRow("blanks around") << "  42 " << true << 42.0;
        QTest::newRow("empty") << "" << true << 0.0;
        QTest::newRow("word") << "abc" << false << 0.0;
        QTest::newRow("trailing text") << "42 shares" << false << 0.0;
        QTest::newRow("bad grouping") << "1,25" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
    }
    void typedNumber() {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, expected);
        const std::optional<double> value = gainbook::typedNumber(text);
        QCOMPARE(value.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*value, expected);
    }

    void money_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<qint64>("cents");
        QTest::newRow("one decimal") << 2450.1 << qint64(24501000) << qint64(245010);
        QTest::newRow("half cent up") << 0.005 << qint64(50) << qint64(1);
        QTest::newRow("half cent down") << -0.005 << qint64(-50) << qint64(-1);
        QTest::newRow("large") << 98765432109.8765 << qint64(987654321098765)
                               << qint64(9876543210988);
        QTest::newRow("not finite") << qInf() << qint64(0) << qint64(0);
    }
    void money() {
        QFETCH(double, stored);
        QFETCH(qint64, units);
        QFETCH(qint64, cents);
        const Money m = Money::fromDouble(stored);
        QCOMPARE(m.units(), units);
        QCOMPARE(m.roundedToCents().units(), cents * 100);
        // A REAL column written from the value reads back as the same amount.
        QCOMPARE(Money::fromDouble(m.toDouble()), m);
    }

    void moneyArithmetic() {
        // Sums of many lot costs stay exact where doubles drift.
        Money sum;
        for (int i = 0; i < 10; ++i)
            sum += Money::fromDouble(0.1);
        QCOMPARE(sum, Money::fromDouble(1.0));
        QCOMPARE(Money::fromDouble(5000).scaled(30, 100), Money::fromDouble(1500));
        // A lot's share of a cost is exact: a third of 100.00 for a third
        // of the shares, halves of a ten-thousandth away from zero.
        QCOMPARE(Money::fromDouble(100).scaled(Quantity::whole(1), Quantity::whole(3)),
                 Money::fromUnits(333333));
        QCOMPARE(Money::fromUnits(-1).scaled(Quantity::whole(1), Quantity::whole(2)),
                 Money::fromUnits(-1));
        QCOMPARE(Money::fromDouble(5).scaled(Quantity::whole(1), Quantity()), Money());
        QCOMPARE(Money::fromDouble(100).scaled(1, 0), Money());
        QCOMPARE(formatMoney(Money::fromDouble(-1234.565)), QStringLiteral("-1,234.57"));
        QCOMPARE(formatTotal(Money::fromDouble(0.5)), QStringLiteral(".50"));
    }

    // A quantity reads a stored REAL to the nearest hundred-millionth and
    // writes the shortest exact decimal back.
    void quantity_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("third") << 1.0 / 3 << "0.33333333";
        QTest::newRow("below a satoshi") << 0.000000004 << "0";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("largest whole") << 89999999999.0 << "89999999999";
        QTest::newRow("beyond") << 1e11 << "0";
        QTest::newRow("not finite") << qInf() << "0";
    }
    void quantity() {
        QFETCH(double, stored);
        QFETCH(QString, text);
        const Quantity q = Quantity::fromDouble(stored);
        QCOMPARE(q.text(), text);
        if (std::abs(stored) < 9e7)
            QCOMPARE(Quantity::fromDouble(q.toDouble()), q);
    }

    void dateFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("m/d/yy") << "3/5/00" << QDate(2000, 3, 5);
        QTest::newRow("mm/dd/yyyy") << "12/31/1999" << QDate(1999, 12, 31);
        QTest::newRow("iso") << "2000-03-05" << QDate(2000, 3, 5);
        QTest::newRow("month name") << "Mar 5, 2000" << QDate(2000, 3, 5);
        QTest::newRow("day-Mon-yy") << "05-Mar-00" << QDate(2000, 3, 5);
        QTest::newRow("year 29 is 2029") << "1/1/29" << QDate(2029, 1, 1);
        QTest::newRow("year 30 is 1930") << "1/1/30" << QDate(1930, 1, 1);
        QTest::newRow("serial 2000-01-01") << "36526" << QDate(2000, 1, 1);
        QTest::newRow("not a date") << "hello" << QDate();
        QTest::newRow("month 13") << "13/1/2000" << QDate();
        QTest::newRow("feb 30") << "2/30/2000" << QDate();
        QTest::newRow("three-digit year") << "1/1/200" << QDate();
        QTest::newRow("empty") << "" << QDate();
    }
    void dateFromText() {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QCOMPARE(gainbook::dateFromText(text), expected);
    }

    void formats_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("total");
        auto row = [](const char* name, double value, const char* money, const char* plain,
                      const char* total) {
            QTest::newRow(name) << value << QString(money) << QString(plain) << QString(total);
        };
        row("zero", 0.0, "0.00", "0.00", ".00");
        row("half", 0.5, "0.50", "0.50", ".50");
        row("thousands", 1234.0, "1,234.00", "1234.00", "1,234.00");
        row("tiny loss rounds to zero", -0.004, "0.00", "0.00", ".00");
    }
    void formats() {
        QFETCH(double, value);
        QFETCH(QString, money);
        QFETCH(QString, plain);
        QFETCH(QString, total);
        QCOMPARE(formatMoney(value), money);
        QCOMPARE(formatPlain(value), plain);
        QCOMPARE(formatTotal(value), total);
    }

    // One text closes every run: what was written, where, then what wants
    // a look; a stopped run wrote nothing, whatever it counted.
    void runSummaries_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("look");
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, Outcome::Status status, qint64 count, const char* message,
                      const QStringList& look, const char* text) {
            QTest::newRow(name) << int(status) << count << QString(message) << look
                                << QString(text);
        };
        using S = Outcome::Status;
        row("export of one record", S::Done, 1, "", {},
            "TXF export wrote 1 tax record to /t/y.txf.");
        row("thousands counted, look listed", S::Done, 1200, "1200 records successfully added.",
            {"Accounts to process again before filing: A"},
            "TXF export wrote 1,200 tax records to /t/y.txf.\n1200 records successfully added.\n"
            "Needs a look:\n- Accounts to process again before filing: A");
        row("failure keeps what it wrote", S::Failed, 5, "The row of A could not be written", {},
            "TXF export wrote 5 tax records to /t/y.txf.\nThe row of A could not be written");
        row("cancelled run wrote nothing", S::Stopped, 40, "cancelled; nothing was changed.", {"x"},
            "cancelled; nothing was changed.\nNeeds a look:\n- x");
        row("done with nothing to write", S::Done, 0, "Nothing to match: A has no sell.", {},
            "TXF export wrote nothing.\nNothing to match: A has no sell.");
        row("refusal as it stands", S::Stopped, 0, "Please enter an Account Name", {},
            "Please enter an Account Name");
        row("the user's No says nothing", S::Stopped, 0, "", {}, "");
    }
    void runSummaries() {
        QFETCH(int, status);
        QFETCH(qint64, count);
        QFETCH(QString, message);
        QFETCH(QStringList, look);
        QFETCH(QString, text);
        const RunSummary run{"TXF export", "tax record", "/t/y.txf", look};
        const Outcome told = summarized(run, {Outcome::Status(status), message, count, {}});
        QCOMPARE(told.message, text);
        QVERIFY(told.details.isEmpty());
    }

    void dateTexts() {
        QCOMPARE(formatDate(QDate(2000, 3, 5)), QStringLiteral("03/05/2000"));
        QCOMPARE(formatDate(QDate()), QString());
        QCOMPARE(isoDate(QDate(2001, 1, 2)), QStringLiteral("2001-01-02"));
        QCOMPARE(dateFromStored(QStringLiteral("2001-01-02")), QDate(2001, 1, 2));
        QCOMPARE(dateFromStored(QStringLiteral("01/02/2001")), QDate(2001, 1, 2));
        QCOMPARE(dateFromStored(QString()), QDate());
    }
};

GAINBOOK_APPLESS_TEST(TestConversions)
#include "test_conversions.moc"
