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
    return QStringList{r.quantity.text(),
                       r.symbol,
                       r.dateAcquired.toString(Qt::ISODate),
                       r.dateSold.toString(Qt::ISODate),
                       QString::number(r.cost.units()),
                       QString::number(r.salePrice.units()),
                       QString::number(r.washAdjustment.units()),
                       boxLetter(r.box)}
        .join(u'|');
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
        // Below half a cent: no "-0.00"; a carry into the whole.
        row("tiny negative amount, carry, 042",
            recordOf("1|T|2000-01-03|2000-01-20|-49|99999999950|0|A"), boxes,
            "N321|P1 sh. T|D01/03/2000|D01/20/2000|$0.00|$10000000.00");
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

    // Each row is one record whose field under test holds the text; "-" when
    // the record cannot be read. An amount stands in all three "$" lines, a
    // date in both "D" lines. The tables are "text=result", ";" between.
    void readsFields_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("fields");
        auto rows = [](const char* field, const QByteArray& table, auto file, auto fields) {
            for (const QByteArray& row : table.split(';')) {
                const qsizetype at = row.lastIndexOf('=');
                const QString result = QString::fromLatin1(row.mid(at + 1));
                QTest::addRow("%s \"%s\"", field, row.left(at).constData())
                    << file(row.left(at)) << (result == u"-" ? result : fields(result));
            }
        };
        auto record = [](const QByteArray& reference, const QByteArray& description,
                         const QByteArray& acquired, const QByteArray& sold,
                         const QByteArray& amounts) {
            return "V042\nTD\nN" + reference + "\nP" + description + "\nD" + acquired + "\nD" +
                   sold + "\n" + amounts + "^\n";
        };
        // Units in all three amounts; four decimals are kept, half a unit
        // rounds away from zero, and 10^12 is past the limit.
        rows(
            "amount",
            "1,234.56=12345600;1,2,3=1230000;5.=50000;.5=5000;-.5=-5000;+5=50000;007.5=75000;"
            "1e3=10000000;1E-2=100;12.34567=123457;0.00005=1;-0.00005=-1;-0=0;"
            "0.1234567890123456789=1235;99999999999.99995=1000000000000000;"
            "999999999999.99=9999999999999900;\xa0"
            "5=50000;5\x85=50000;1000000000000=-;123456789012345678=-;0x10=-;5$=-;(5)=-;"
            "1 234=-;inf=-;nan=-;,=-;1.2.3=-;--5=-;-=-;.=-",
            [&](const QByteArray& text) {
                return record("321", "1 A", "1/2/2000", "2/3/2000",
                              "$" + text + "\n$" + text + "\n$" + text + "\n");
            },
            [](const QString& u) {
                return "1|A|2000-01-02|2000-02-03|" + u + '|' + u + '|' + u + "|A";
            });
        // Both dates; VARIOUS is a date acquired only.
        rows(
            "date",
            "1/5/99=1999-01-05;01/05/1999=1999-01-05;1/5/1999=1999-01-05;1-5-2000=2000-01-05;"
            "2000-01-05=2000-01-05;36526=2000-01-01;Jan 5, 2000=2000-01-05;5-Jan-00=2000-01-05;\xa0"
            "1/5/2000=2000-01-05;0/0/0=-;13/45/1999=-;02/30/2000=-;1/5/199=-;001/5/2000=-;"
            "1/5/02000=-;VARIOUS=-",
            [&](const QByteArray& text) { return record("321", "1 A", text, text, "$1\n$2\n"); },
            [](const QString& d) { return "1|A|" + d + '|' + d + "|10000|20000|0|A"; });
        rows(
            "acquired", "=;00/00/00=;VARIOUS=;various=",
            [&](const QByteArray& text) {
                return record("321", "1 A", text, "2/3/2000", "$1\n$2\n");
            },
            [](const QString&) { return QStringLiteral("1|A||2000-02-03|10000|20000|0|A"); });
        // Quantity and symbol.
        rows(
            "description",
            "1,000 sh. IBM=1000|IBM;1,,0 X=10|X;007 X=7|X;0 X=0|X;00 X=0|X;1e3 X=0|1e3 X;"
            "+5 X=5|X;-5 X=-5|X;5. X=5|X;.5 X=0.5|X;12.5 SHARES BRK B=12.5|BRK B;"
            "5 shares=5|shares;X=0|X;100 SH=100|SH;\xe9T\xe9=0|\xe9T\xe9;, X=0|, X;"
            "1 sh.  \t X Y =1|X Y;1\xa0X=0|1\xa0X;100 sh XYZ=100|XYZ;250=250|;ABC 100=0|ABC 100;"
            "100 3M=100|3M;-5 sh. ABC=-5|ABC;$100 ABC=0|$100 ABC;1234567890123456789 X=-",
            [&](const QByteArray& text) {
                return record("321", text, "1/2/2000", "2/3/2000", "$1\n$2\n");
            },
            [](const QString& f) { return f + "|2000-01-02|2000-02-03|10000|20000|0|A"; });
        // A record numbered 682 takes the box of its term; 673, 715 and 716
        // name an unknown term; 287 is income, another kind.
        rows(
            "reference", "321=A;0711=B;+712=C;323 =D;713=E;714=F;00673=;682=D;715=;716=;9=-;287=-",
            [&](const QByteArray& number) {
                return record(number, "1 A", "1/2/1990", "2/3/2000", "$1\n$2\n");
            },
            [](const QString& box) { return "1|A|1990-01-02|2000-02-03|10000|20000|0|" + box; });
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
