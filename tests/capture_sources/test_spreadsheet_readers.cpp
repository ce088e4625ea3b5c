#include "capture/sources/csv_reader.h"
#include "capture/sources/pasted_text.h"
#include "capture/sources/spreadsheet_reader.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA") + QStringLiteral("/capture/sources/") + name;
}

// A cell as "text|number" ("text|-" without a number) for compact compares.
QString show(const SheetDocument& sheet, int row, int col) {
    const SheetCell& c = sheet.cell(row, col);
    return c.text + u'|' + (c.number ? QString::number(*c.number, 'g', 12) : QStringLiteral("-"));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestSpreadsheetReaders : public QObject {
    Q_OBJECT

private slots:
    void csvFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "a,b,c" << 1 << 2 << "b|-";
        QTest::newRow("quoted comma") << "x,\"1,234.50\",y" << 1 << 2 << "1,234.50|-";
        QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",z" << 1 << 1 << "say \"hi\"|-";
        QTest::newRow("line break in quotes")
            << "\"two\r\nlines\",after\r\nnext" << 1 << 2 << "after|-";
        QTest::newRow("line break kept") << "\"two\nlines\"" << 1 << 1 << "two\nlines|-";
        QTest::newRow("record after quoted break") << "\"a\nb\",c\nd" << 2 << 1 << "d|-";
        QTest::newRow("crlf rows") << "a\r\nb\r\n" << 2 << 1 << "b|-";
        QTest::newRow("lone cr rows") << "a\rb" << 2 << 1 << "b|-";
        QTest::newRow("empty field keeps columns") << "a,,c" << 1 << 3 << "c|-";
        QTest::newRow("empty field is empty") << "a,,c" << 1 << 2 << "|-";
        QTest::newRow("integer") << "100" << 1 << 1 << "100|100";
        QTest::newRow("negative decimal") << "-5200.25" << 1 << 1 << "-5200.25|-5200.25";
        QTest::newRow("blanks around number") << " 42 " << 1 << 1 << " 42 |42";
        QTest::newRow("quoted number") << "\"12.5\"" << 1 << 1 << "12.5|12.5";
        QTest::newRow("exponent") << "1e3" << 1 << 1 << "1e3|1000";
        QTest::newRow("currency is text") << "$5" << 1 << 1 << "$5|-";
        QTest::newRow("thousands is text") << "\"1,000\"" << 1 << 1 << "1,000|-";
        QTest::newRow("trailing words are text") << "42 shares" << 1 << 1 << "42 shares|-";
        QTest::newRow("date is text") << "01/03/2000" << 1 << 1 << "01/03/2000|-";
        QTest::newRow("inf is text") << "inf" << 1 << 1 << "inf|-";
        QTest::newRow("sign only is text") << "-" << 1 << 1 << "-|-";
        QTest::newRow("byte order mark")
            << QString(QChar(0xFEFF)) + "Date,Type" << 1 << 1 << "Date|-";
        QTest::newRow("stray quote kept") << "ab\"c,d" << 1 << 1 << "ab\"c|-";
        QTest::newRow("unterminated quote") << "\"open,end" << 1 << 1 << "open,end|-";
    }
    void csvFields() {
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, expected);
        const SheetDocument sheet = parseCsv(text);
        QCOMPARE(show(sheet, row, col), expected);
    }

    void csvShape() {
        const SheetDocument sheet = parseCsv(u"h1,h2,h3\n1,2\n\n4\n");
        QCOMPARE(sheet.rowCount(), 4);
        QCOMPARE(sheet.columnCount(), 3);
        QCOMPARE(sheet.text(3, 1), QString());
        QCOMPARE(sheet.number(4, 1), 4.0);
    }

    void csvFileEncodings() {
        QTemporaryDir dir;
        const QString utf8 = dir.filePath(QStringLiteral("utf8.csv"));
        writeFile(utf8, "\xEF\xBB\xBFSymbol\nCaf\xC3\xA9\n");
        const QString latin1 = dir.filePath(QStringLiteral("latin1.csv"));
        writeFile(latin1, "Symbol\nCaf\xE9\n");
        for (const QString& path : {utf8, latin1}) {
            QString error;
            const auto sheet = readSpreadsheet(path, &error);
            QVERIFY2(sheet, qPrintable(error));
            QCOMPARE(sheet->text(1, 1), QStringLiteral("Symbol"));
            QCOMPARE(sheet->text(2, 1), QStringLiteral("Caf\u00e9"));
        }
    }

    // The same trades in both workbook formats read to the same cells.
    void workbookCells_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("expected");
        for (const char* file : {"trades.xlsx", "trades.xls"}) {
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(file, name)))
                       << QString::fromLatin1(file);
            };
            row("heading") << 1 << 1 << "Date|-";
            row("heading 5") << 1 << 5 << "Amount|-";
            row("built-in date") << 2 << 1 << "1/1/2000|36526";
            row("custom date") << 3 << 1 << "3/15/2000|36600";
            row("shared string") << 2 << 2 << "Bought|-";
            row("whole number") << 2 << 4 << "100|100";
            row("decimal with money format") << 2 << 5 << "5000.5|5000.5";
            row("negative") << 3 << 5 << "-5200|-5200";
            row("outside the sheet") << 40 << 40 << "|-";
        }
        QTest::newRow("xlsx inline string") << "trades.xlsx" << 2 << 3 << "MSFT|-";
        QTest::newRow("xlsx inline string punctuation")
            << "trades.xlsx" << 2 << 6 << "first, \"lot\"|-";
        QTest::newRow("xlsx rich text without phonetic run")
            << "trades.xlsx" << 3 << 3 << "O'Brien & Co|-";
        QTest::newRow("xlsx boolean") << "trades.xlsx" << 3 << 6 << "TRUE|1";
        QTest::newRow("xlsx date and time") << "trades.xlsx" << 4 << 1 << "6/23/2000|36700.75";
        QTest::newRow("xlsx formula text") << "trades.xlsx" << 4 << 2 << "Dividend|-";
        QTest::newRow("xlsx elapsed hours are no date") << "trades.xlsx" << 4 << 4 << "1.5|1.5";
        QTest::newRow("xlsx error value") << "trades.xlsx" << 4 << 5 << "#DIV/0!|-";
        QTest::newRow("xlsx skipped row stays empty") << "trades.xlsx" << 5 << 1 << "|-";
        QTest::newRow("xlsx iso date cell") << "trades.xlsx" << 6 << 1 << "7/4/2000|36711";
        QTest::newRow("xlsx cell without reference") << "trades.xlsx" << 6 << 3 << "2.25|2.25";
        QTest::newRow("xlsx far column") << "trades.xlsx" << 6 << 8 << "far|-";
        QTest::newRow("xlsx workbook elsewhere, chart sheet first")
            << "trades_elsewhere.xlsx" << 3 << 1 << "3/15/2000|36600";
        QTest::newRow("xlsx workbook elsewhere, shared strings")
            << "trades_elsewhere.xlsx" << 3 << 3 << "O'Brien & Co|-";
        QTest::newRow("xlsx 1904 calendar") << "trades_1904.xlsx" << 3 << 1 << "3/15/2000|36600";
        QTest::newRow("xls unicode text") << "trades.xls" << 3 << 3 << "Caf\u00e9 \u20ac|-";
        QTest::newRow("xls quotes and comma") << "trades.xls" << 4 << 3 << "O'Brien, \"Co\"|-";
        QTest::newRow("xls text in date column") << "trades.xls" << 4 << 1 << "not a date|-";
    }
    void workbookCells() {
        QFETCH(QString, file);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, expected);
        QString error;
        const auto sheet = readSpreadsheet(fixture(file), &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(show(*sheet, row, col), expected);
    }

    void firstWorksheetIsActive_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("xlsx") << "trades.xlsx";
        QTest::newRow("xls") << "trades.xls";
    }
    void firstWorksheetIsActive() {
        QFETCH(QString, file);
        const auto sheet = readSpreadsheet(fixture(file), nullptr);
        QVERIFY(sheet);
        QVERIFY(sheet->rowCount() >= 4);
        for (int r = 1; r <= sheet->rowCount(); ++r)
            QVERIFY(sheet->text(r, 1) != QStringLiteral("not the first sheet"));
    }

    void unreadableFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing csv") << "missing.csv" << QByteArray() << "File not found: ";
        QTest::newRow("missing xls") << "missing.xls" << QByteArray() << "File not found: ";
        QTest::newRow("missing xlsx") << "missing.xlsx" << QByteArray() << "File not found: ";
        QTest::newRow("html named xls") << "page.xls" << QByteArray("<html><body>x</body></html>")
                                        << "Cannot read the spreadsheet ";
        QTest::newRow("html named xlsx")
            << "page.xlsx" << QByteArray("<html></html>") << "Cannot read the spreadsheet ";
        QTest::newRow("empty xlsx")
            << "empty.xlsx" << QByteArray() << "Cannot read the spreadsheet ";
        QTest::newRow("not a spreadsheet")
            << "notes.txt" << QByteArray("x") << "Not a spreadsheet file: ";
    }
    void unreadableFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!name.startsWith(u"missing"))
            writeFile(path, content);
        QString error;
        QVERIFY(!readSpreadsheet(path, &error));
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY2(error.contains(path), qPrintable(error));
    }

    void zipWithoutWorkbook() {
        QString error;
        QVERIFY(!readSpreadsheet(fixture(QStringLiteral("not_a_workbook.xlsx")), &error));
        QVERIFY2(error.endsWith(QStringLiteral("not an Excel workbook")), qPrintable(error));
    }

    void pastedTextLineEnds() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("paste.txt"));
        writeFile(path, "Date Bought\n12/01/2000 Sold\r\nlast\rend");
        QString error;
        const auto text = loadPastedText(path, &error);
        QVERIFY2(text, qPrintable(error));
        QCOMPARE(*text, QStringLiteral("Date Bought\r\n12/01/2000 Sold\r\nlast\r\nend"));
        QVERIFY(!loadPastedText(dir.filePath(QStringLiteral("none.txt")), &error));
        QVERIFY(error.startsWith(QStringLiteral("File not found: ")));
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheetReaders)
#include "test_spreadsheet_readers.moc"
