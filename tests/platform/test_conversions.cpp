#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"

#include <QtTest>

using namespace gainbook;

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void numberFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("integer") << "100" << 100.0;
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("negative") << "-3.25" << -3.25;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("blanks inside digits") << "100 3M" << 1003.0;
        QTest::newRow("tabs and line feeds") << "\t1\n2 .5" << 12.5;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("negative exponent") << "25E-2" << 0.25;
        QTest::newRow("bare exponent letter") << "12e" << 12.0;
        QTest::newRow("exponent without digits") << "12e+x" << 12.0;
        QTest::newRow("trailing text") << "42 shares" << 42.0;
        QTest::newRow("comma stops") << "1,234.50" << 1.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("currency sign") << "$5" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
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
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("small") << 0.0001 << "0.0001";
        QTest::newRow("large") << 1234567.0 << "1234567";
        QTest::newRow("negative") << -2.75 << "-2.75";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("tenth") << 0.1 << "0.1";
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

    void dateFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("m/d/yy") << "3/5/00" << QDate(2000, 3, 5);
        QTest::newRow("m/d/yyyy") << "3/5/2000" << QDate(2000, 3, 5);
        QTest::newRow("mm/dd/yyyy") << "12/31/1999" << QDate(1999, 12, 31);
        QTest::newRow("mm-dd-yyyy") << "01-02-2001" << QDate(2001, 1, 2);
        QTest::newRow("iso") << "2000-03-05" << QDate(2000, 3, 5);
        QTest::newRow("iso with time") << "2000-03-05T00:00:00" << QDate(2000, 3, 5);
        QTest::newRow("month name") << "Mar 5, 2000" << QDate(2000, 3, 5);
        QTest::newRow("full month name") << "March 5 2000" << QDate(2000, 3, 5);
        QTest::newRow("day-Mon-yy") << "05-Mar-00" << QDate(2000, 3, 5);
        QTest::newRow("day-Mon-yyyy") << "5-mar-1999" << QDate(1999, 3, 5);
        QTest::newRow("year 29 is 2029") << "1/1/29" << QDate(2029, 1, 1);
        QTest::newRow("year 30 is 1930") << "1/1/30" << QDate(1930, 1, 1);
        QTest::newRow("year 99 is 1999") << "12/31/99" << QDate(1999, 12, 31);
        QTest::newRow("serial 2000-01-01") << "36526" << QDate(2000, 1, 1);
        QTest::newRow("serial with time") << "36526.75" << QDate(2000, 1, 1);
        QTest::newRow("serial 1900-03-01") << "61" << QDate(1900, 3, 1);
        QTest::newRow("padded") << "  3/5/00 " << QDate(2000, 3, 5);
        QTest::newRow("not a date") << "hello" << QDate();
        QTest::newRow("month 13") << "13/1/2000" << QDate();
        QTest::newRow("feb 30") << "2/30/2000" << QDate();
        QTest::newRow("three-digit year") << "1/1/200" << QDate();
        QTest::newRow("mixed separators") << "1/1-2000" << QDate();
        QTest::newRow("unknown month") << "Foo 5, 2000" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("negative") << "-5" << QDate();
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
        QTest::newRow("zero") << 0.0 << "0.00"
                              << "0.00"
                              << ".00";
        QTest::newRow("half") << 0.5 << "0.50"
                              << "0.50"
                              << ".50";
        QTest::newRow("negative half") << -0.5 << "-0.50"
                                       << "-0.50"
                                       << "-.50";
        QTest::newRow("thousands") << 1234.0 << "1,234.00"
                                   << "1234.00"
                                   << "1,234.00";
        QTest::newRow("loss") << -1234.0 << "-1,234.00"
                              << "-1234.00"
                              << "-1,234.00";
        QTest::newRow("millions") << 1234567.891 << "1,234,567.89"
                                  << "1234567.89"
                                  << "1,234,567.89";
        QTest::newRow("tiny loss rounds to zero") << -0.004 << "0.00"
                                                  << "0.00"
                                                  << ".00";
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

    void dateTexts() {
        QCOMPARE(formatDate(QDate(2000, 3, 5)), QStringLiteral("03/05/2000"));
        QCOMPARE(formatDate(QDate()), QString());
        QCOMPARE(isoDate(QDate(2001, 1, 2)), QStringLiteral("2001-01-02"));
        QCOMPARE(dateFromStored(QStringLiteral("2001-01-02")), QDate(2001, 1, 2));
        QCOMPARE(dateFromStored(QStringLiteral("01/02/2001")), QDate(2001, 1, 2));
        QCOMPARE(dateFromStored(QString()), QDate());
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "test_conversions.moc"
