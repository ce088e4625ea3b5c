#include "platform/date_text.h"
#include "platform/number_range.h"
#include "platform/number_text.h"
#include "support/test_main.h"
#include "txf/txf_field_values.h"
#include "txf/txf_format.h"
#include "txf/txf_import.h"
#include "txf/txf_reader.h"

#include <QtTest>

#include <cmath>

using namespace gainbook;

Q_DECLARE_METATYPE(gainbook::TaxRecord)

namespace {

// The inverse of fieldsOf below: a record from
// "quantity|symbol|acquired|sold|cost|sale|wash|box", amounts in units.
TaxRecord recordOf(const QString& fields) {
    const QStringList f = fields.split(u'|');
    TaxRecord r;
    r.quantity = Quantity::fromDouble(f[0].toDouble());
    r.symbol = f[1];
    r.dateAcquired = QDate::fromString(f[2], Qt::ISODate);
    r.dateSold = QDate::fromString(f[3], Qt::ISODate);
    r.cost = Money::fromUnits(f[4].toLongLong());
    r.salePrice = Money::fromUnits(f[5].toLongLong());
    r.washAdjustment = Money::fromUnits(f[6].toLongLong());
    r.box = *boxFromLetter(f[7]);
    return r;
}

// What an import made of a record, every field in one line:
// quantity|symbol|acquired|sold|cost|sale|wash|box, amounts in units.
QString fieldsOf(const TaxRecord& r) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
        .arg(r.quantity.text(), r.symbol, r.dateAcquired.toString(Qt::ISODate),
             r.dateSold.toString(Qt::ISODate))
        .arg(r.cost.units())
        .arg(r.salePrice.units())
        .arg(r.washAdjustment.units())
        .arg(boxLetter(r.box));
}

} // namespace

// The bytes of single fields, written and read: the export's numbers and
// dates and the import's reading of what other programs write, held to the
// exact results so that a faster formatter or parser cannot drift.
class TestTxfFields : public QObject {
    Q_OBJECT

private slots:
    // The record's lines other than the fixed TD, C1, L1 and ^, "|" between.
    void writesRecords_data() {
        QTest::addColumn<TaxRecord>("record");
        QTest::addColumn<TxfLayout>("layout");
        QTest::addColumn<QByteArray>("lines");
        const auto v034 = TxfLayout::Version034;
        const auto terms = TxfLayout::Version042Terms;
        const auto boxes = TxfLayout::Version042Boxes;
        auto row = [](const char* name, const TaxRecord& r, TxfLayout layout, const char* lines) {
            QTest::newRow(name) << r << layout << QByteArray(lines);
        };
        // The record in version 034 and in 042 by box.
        auto both = [&](const QString& name, const TaxRecord& r, const char* lines034,
                        const char* lines042) {
            row(qPrintable(name + ", 034"), r, v034, lines034);
            row(qPrintable(name + ", 042"), r, boxes, lines042);
        };
        both("negative amounts", recordOf("10|NEG|2000-03-01|2000-03-02|-1225000|-50|0|A"),
             "N321|P10 NEG|D03/01/2000|D03/02/2000|$-122.5|$-0.005",
             "N321|P10 sh. NEG|D03/01/2000|D03/02/2000|$-122.50|$-0.01");
        both("fractions", recordOf("12.5|BRK.B|1998-06-30|2000-07-05|12345678|3333|0|D"),
             "N323|P12.5 BRK.B|D06/30/1998|D07/05/2000|$1234.5678|$0.3333",
             "N323|P12.5 sh. BRK.B|D06/30/1998|D07/05/2000|$1234.57|$0.33");
        // Halves of a cent round away from zero; 0.1 + 0.2 shares are 0.3.
        TaxRecord halves = recordOf("0|HALF|2000-01-03|2000-02-07|50|-150|26750|E");
        halves.quantity = Quantity::fromDouble(0.1 + 0.2);
        both("half cents", halves, "N713|P0.3 HALF|D01/03/2000|D02/07/2000|$0.005|$-0.015|$2.675",
             "N713|P0.3 sh. HALF|D01/03/2000|D02/07/2000|$0.01|$-0.02|$2.68");
        row("half cents, 042 by term", halves, terms,
            "N323|P0.3 sh. HALF|D01/03/2000|D02/07/2000|$0.01|$-0.02|$2.68");
        // A line break becomes a blank; a character beyond Latin-1 becomes
        // "?", one for each half of a surrogate pair.
        TaxRecord longSymbol = recordOf("10000000000||2000-01-01|2000-12-31|1|2|0|F");
        longSymbol.symbol = QString::fromUtf8("A VERY LONG SYMBOL NAME\r\nWITH BREAKS "
                                              "\xc3\xa9\xe2\x82\xac\xf0\x9f\x93\x88 END");
        both("long symbol", longSymbol,
             "N714|P10000000000 A VERY LONG SYMBOL NAME  WITH BREAKS \xe9??? END|D01/01/2000|"
             "D12/31/2000|$0.0001|$0.0002",
             "N714|P10000000000 sh. A VERY LONG SYMBOL NAME  WITH BREAKS \xe9??? END|D01/01/2000|"
             "D12/31/2000|$0.00|$0.00");
        const TaxRecord yearEnds = recordOf("1|YE|1999-12-31|2000-01-01|0|0|0|B");
        row("year ends, 034", yearEnds, v034, "N711|P1 YE|D12/31/1999|D01/01/2000|$0|$0");
        row("year ends, 042 by term", yearEnds, terms,
            "N321|P1 sh. YE|D12/31/1999|D01/01/2000|$0.00|$0.00");
        both("date unknown, last year", recordOf("3|Y||9999-12-31|100|200|0|"),
             "N673|P3 Y|D|D12/31/9999|$0.01|$0.02",
             "N673|P3 sh. Y|DVARIOUS|D12/31/9999|$0.01|$0.02");
        // Neither a date acquired nor a cost: the tax program asks for the
        // basis instead of taking it as zero.
        both("sell with no buy: empty date acquired and cost lines",
             recordOf("10|NB||2011-02-01|0|150000|0|"), "N673|P10 NB|D|D02/01/2011|$|$15",
             "N673|P10 sh. NB|D|D02/01/2011|$|$15.00");
        row("first year, 042", recordOf("2|OLD|0001-01-01|2000-06-01|100|200|0|C"), boxes,
            "N712|P2 sh. OLD|D01/01/0001|D06/01/2000|$0.01|$0.02");
        both("wash adjustment", recordOf("7|W|2000-01-03|2000-01-20|10000|5000|1250|A"),
             "N321|P7 W|D01/03/2000|D01/20/2000|$1|$0.5|$0.125",
             "N321|P7 sh. W|D01/03/2000|D01/20/2000|$1.00|$0.50|$0.13");
        both("negative wash adjustment", recordOf("7|W|2000-01-03|2000-01-20|10000|5000|-10001|D"),
             "N323|P7 W|D01/03/2000|D01/20/2000|$1|$0.5|$-1.0001",
             "N323|P7 sh. W|D01/03/2000|D01/20/2000|$1.00|$0.50|$-1.00");
        // Sixteen digits are more than a double tells apart.
        both("near the limit",
             recordOf("0.0000001|BIG|2000-01-03|2000-01-20|9999999999999999|-999999999999995|"
                      "1000000000000000|A"),
             "N321|P0.0000001 BIG|D01/03/2000|D01/20/2000|$1000000000000|$-99999999999.9995|"
             "$100000000000",
             "N321|P0.0000001 sh. BIG|D01/03/2000|D01/20/2000|$1000000000000.00|"
             "$-100000000000.00|$100000000000.00");
        TaxRecord nan = recordOf("0|NAN|2000-01-03|2000-01-20|1|1|0|A");
        nan.quantity = Quantity::fromDouble(std::nan(""));
        row("quantity not a number, 034", nan, v034,
            "N321|P0 NAN|D01/03/2000|D01/20/2000|$0.0001|$0.0001");
        row("negative tiny quantity, 042", recordOf("-0.00000001|T|2000-01-03|2000-01-20|1|1|0|A"),
            boxes, "N321|P-0.00000001 sh. T|D01/03/2000|D01/20/2000|$0.00|$0.00");
    }
    void writesRecords() {
        QFETCH(TaxRecord, record);
        QFETCH(TxfLayout, layout);
        QFETCH(QByteArray, lines);
        const qsizetype at = lines.indexOf('|');
        const QByteArray expected = "TD|" + lines.left(at) + "|C1|L1" + lines.mid(at) + "|^|";
        QCOMPARE(txfRecord(record, layout), QByteArray(expected).replace("|", "\r\n"));
    }

    // Version 034 writes an amount or a quantity as the shortest decimal
    // text that reads back as the same double; the writer forms it from the
    // digits, which must agree with that text across each range.
    void plainNumbersAreShortest_data() {
        QTest::addColumn<qint64>("least");
        QTest::addColumn<qint64>("most");
        QTest::addColumn<qint64>("step"); // every value is a multiple of it
        QTest::newRow("cents") << qint64(-10'000'000) << qint64(10'000'000) << qint64(100);
        QTest::newRow("ten-thousandths") << qint64(-1'000'000) << qint64(1'000'000) << qint64(1);
        QTest::newRow("millions") << qint64(-100'000'000'000) << qint64(100'000'000'000)
                                  << qint64(1);
        QTest::newRow("fifteen digits")
            << qint64(-999'999'999'999'999) << qint64(999'999'999'999'999) << qint64(1);
        QTest::newRow("sixteen digits")
            << qint64(1'000'000'000'000'000) << qint64(9'999'999'999'999'999) << qint64(1);
    }
    void plainNumbersAreShortest() {
        QFETCH(qint64, least);
        QFETCH(qint64, most);
        QFETCH(qint64, step);
        QRandomGenerator random(20001);
        for (int i = 0; i < 20000; ++i) {
            const qint64 units = random.bounded(least / step, most / step + 1) * step;
            const Quantity quantity = Quantity::fromUnits(units);
            TaxRecord record =
                recordOf(QStringLiteral("0|S|2000-01-03|2000-01-03|%1|0|0|A").arg(units));
            record.quantity = quantity;
            const QList<QByteArray> lines = txfRecord(record, TxfLayout::Version034).split('\r');
            const QString cost = numberToText(Money::fromUnits(units).toDouble());
            QCOMPARE(QString::fromLatin1(lines[7]), QStringLiteral("\n$") + cost);
            QCOMPARE(QString::fromLatin1(lines[4]), QStringLiteral("\nP%1 S").arg(quantity.text()));
        }
    }

    // The import reads the usual forms of a field from the digits and any
    // other through the general conversion; across random texts of each
    // alphabet both must give the same value.
    void digitsAgreeWithConversion_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("alphabet");
        QTest::newRow("amount, decimals") << "amount" << QByteArray("0123456789.-");
        QTest::newRow("amount, separators") << "amount" << QByteArray("000123456789,,.");
        QTest::newRow("amount, odd") << "amount" << QByteArray("0159.,-+e ");
        QTest::newRow("date, slashes") << "date" << QByteArray("0011223456789//");
        QTest::newRow("date, odd") << "date" << QByteArray("01239/- ");
        QTest::newRow("description, counts") << "description" << QByteArray("0123456789,  X");
        QTest::newRow("description, odd") << "description" << QByteArray("019,.-+ sShX\t");
    }
    void digitsAgreeWithConversion() {
        QFETCH(QString, field);
        QFETCH(QByteArray, alphabet);
        QRandomGenerator random(6042);
        for (int i = 0; i < 20000; ++i) {
            QByteArray text(random.bounded(1, 20), Qt::Uninitialized);
            for (char& c : text)
                c = alphabet[random.bounded(alphabet.size())];
            text = text.trimmed();
            const QString asText = QString::fromLatin1(text);
            if (field == u"amount") {
                // Units, or a text for none: an empty text is 0, separators
                // go before the conversion.
                QString plain = asText;
                plain.remove(u',');
                bool ok = false;
                const double value = QLocale::c().toDouble(plain, &ok);
                const QString expected =
                    asText.isEmpty() ? QStringLiteral("0")
                    : ok && isBrokerageNumber(value)
                        ? QString::number(Money::fromDouble(roundCurrency(value)).units())
                        : QStringLiteral("none");
                const std::optional<Money> amount = txfAmount(text);
                QCOMPARE(amount ? QString::number(amount->units()) : QStringLiteral("none"),
                         expected);
            } else if (field == u"date") {
                QVERIFY2(txfDate(text) == dateFromText(asText), text.constData());
            } else {
                double quantity = -1;
                double expectedQuantity = -1;
                QString symbol;
                QString expectedSymbol;
                splitTxfDescription(QByteArrayView(text), quantity, symbol);
                splitTxfDescription(QStringView(asText), expectedQuantity, expectedSymbol);
                QVERIFY2(quantity == expectedQuantity && symbol == expectedSymbol,
                         text.constData());
            }
        }
    }

    // Each row is one record whose field under test holds the text; "-" when
    // the record cannot be read. An amount stands in all three "$" lines, a
    // date in both "D" lines.
    void readsFields_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("fields");
        auto file = [](const QByteArray& reference, const QByteArray& description,
                       const QByteArray& acquired, const QByteArray& sold,
                       const QByteArray& amounts) {
            return "V042\nTD\nN" + reference + "\nP" + description + "\nD" + acquired + "\nD" +
                   sold + "\n" + amounts + "^\n";
        };
        auto amount = [&](const char* name, const QByteArray& text, const char* fields) {
            QTest::addRow("amount %s", name)
                << file("321", "1 A", "1/2/2000", "2/3/2000",
                        "$" + text + "\n$" + text + "\n$" + text + "\n")
                << QString::fromLatin1(fields);
        };
        const char* const read = "1|A|2000-01-02|2000-02-03|";
        auto each = [&](const char* units) {
            return QByteArray(read) + units + '|' + units + '|' + units + "|A";
        };
        amount("separators", "1,234.56", each("12345600"));
        amount("separators anywhere", "1,2,3", each("1230000"));
        amount("point last", "5.", each("50000"));
        amount("point first", ".5", each("5000"));
        amount("minus, point first", "-.5", each("-5000"));
        amount("plus", "+5", each("50000"));
        amount("leading zeros", "007.5", each("75000"));
        amount("exponent", "1e3", each("10000000"));
        amount("negative exponent", "1E-2", each("100"));
        amount("beyond four decimals", "12.34567", each("123457"));
        amount("half a unit", "0.00005", each("1"));
        amount("minus half a unit", "-0.00005", each("-1"));
        amount("minus zero", "-0", each("0"));
        amount("many decimals", "0.1234567890123456789", each("1235"));
        amount("rounds up to a digit more", "99999999999.99995", each("1000000000000000"));
        amount("below the limit", "999999999999.99", each("9999999999999900"));
        amount("no-break space before",
               "\xa0"
               "5",
               each("50000"));
        amount("next line after", "5\x85", each("50000"));
        amount("at the limit", "1000000000000", "-");
        amount("eighteen digits", "123456789012345678", "-");
        amount("hexadecimal", "0x10", "-");
        amount("dollar after", "5$", "-");
        amount("parentheses", "(5)", "-");
        amount("blank inside", "1 234", "-");
        amount("infinity", "inf", "-");
        amount("not a number", "nan", "-");
        amount("comma alone", ",", "-");
        amount("two points", "1.2.3", "-");
        amount("two minus", "--5", "-");
        amount("minus alone", "-", "-");
        amount("point alone", ".", "-");

        auto date = [&](const char* name, const QByteArray& text, const char* fields) {
            QTest::addRow("date %s", name)
                << file("321", "1 A", text, text, "$1\n$2\n") << QString::fromLatin1(fields);
        };
        date("m/d/yy", "1/5/99", "1|A|1999-01-05|1999-01-05|10000|20000|0|A");
        date("mm/dd/yyyy", "01/05/1999", "1|A|1999-01-05|1999-01-05|10000|20000|0|A");
        date("m/d/yyyy", "1/5/1999", "1|A|1999-01-05|1999-01-05|10000|20000|0|A");
        date("m-d-yyyy", "1-5-2000", "1|A|2000-01-05|2000-01-05|10000|20000|0|A");
        date("ISO", "2000-01-05", "1|A|2000-01-05|2000-01-05|10000|20000|0|A");
        date("serial", "36526", "1|A|2000-01-01|2000-01-01|10000|20000|0|A");
        date("month name", "Jan 5, 2000", "1|A|2000-01-05|2000-01-05|10000|20000|0|A");
        date("day first", "5-Jan-00", "1|A|2000-01-05|2000-01-05|10000|20000|0|A");
        date("no-break space before",
             "\xa0"
             "1/5/2000",
             "1|A|2000-01-05|2000-01-05|10000|20000|0|A");
        date("zeros", "0/0/0", "-");
        date("no such day", "13/45/1999", "-");
        date("February 30", "02/30/2000", "-");
        date("three-digit year", "1/5/199", "-");
        date("three-digit month", "001/5/2000", "-");
        date("five-digit year", "1/5/02000", "-");
        date("unknown sold", "VARIOUS", "-");
        for (const char* unknown : {"", "00/00/00", "VARIOUS", "various"}) {
            QTest::addRow("acquired \"%s\"", unknown)
                << file("321", "1 A", unknown, "2/3/2000", "$1\n$2\n")
                << QStringLiteral("1|A||2000-02-03|10000|20000|0|A");
        }

        auto description = [&](const char* name, const QByteArray& text, const char* start) {
            QTest::addRow("description %s", name)
                << file("321", text, "1/2/2000", "2/3/2000", "$1\n$2\n")
                << (qstrcmp(start, "-") == 0
                        ? QStringLiteral("-")
                        : QString::fromLatin1(start) +
                              QStringLiteral("|2000-01-02|2000-02-03|10000|20000|0|A"));
        };
        description("separators", "1,000 sh. IBM", "1000|IBM");
        description("separators twice", "1,,0 X", "10|X");
        description("leading zeros", "007 X", "7|X");
        description("zero", "0 X", "0|X");
        description("zeros", "00 X", "0|X");
        description("exponent", "1e3 X", "0|1e3 X");
        description("plus", "+5 X", "5|X");
        description("minus", "-5 X", "-5|X");
        description("point last", "5. X", "5|X");
        description("point first", ".5 X", "0.5|X");
        description("shares word", "12.5 SHARES BRK B", "12.5|BRK B");
        description("shares word alone", "5 shares", "5|shares");
        description("symbol alone", "X", "0|X");
        description("symbol SH", "100 SH", "100|SH");
        description("Latin-1", "\xe9T\xe9", "0|\xe9T\xe9");
        description("comma first", ", X", "0|, X");
        description("blanks and tab", "1 sh.  \t X Y ", "1|X Y");
        description("no-break space", "1\xa0X", "0|1\xa0X");
        description("sh without point", "100 sh XYZ", "100|XYZ");
        description("number alone", "250", "250|");
        description("text first", "ABC 100", "0|ABC 100");
        description("digits after a blank", "100 3M", "100|3M");
        description("negative, sh.", "-5 sh. ABC", "-5|ABC");
        description("amount is no quantity", "$100 ABC", "0|$100 ABC");
        description("beyond the limit", "1234567890123456789 X", "-");

        // A record numbered 682 takes the box of its term; 673, 715 and 716
        // name an unknown term.
        auto reference = [&](const QByteArray& number, const char* box) {
            QTest::addRow("reference \"%s\"", number.constData())
                << file(number, "1 A", "1/2/1990", "2/3/2000", "$1\n$2\n")
                << (qstrcmp(box, "-") == 0
                        ? QStringLiteral("-")
                        : QStringLiteral("1|A|1990-01-02|2000-02-03|10000|20000|0|") +
                              QString::fromLatin1(box));
        };
        reference("321", "A");
        reference("0711", "B");
        reference("+712", "C");
        reference("323 ", "D");
        reference("00673", "");
        reference("682", "D");
        reference("715", "");
        reference("716", "");
        reference("9", "-");
    }
    void readsFields() {
        QFETCH(QByteArray, file);
        QFETCH(QString, fields);
        TxfImport txf;
        const Outcome read = txf.read(file);
        if (fields == u"-") {
            QVERIFY(read.stopped());
            QCOMPARE(txf.records().size(), 0);
        } else {
            QVERIFY2(read.done(), qPrintable(read.message));
            QCOMPARE(txf.records().size(), 1);
            QCOMPARE(fieldsOf(txf.records()[0]), fields);
        }
    }
};

GAINBOOK_GUILESS_TEST(TestTxfFields)
#include "test_txf_fields.moc"
