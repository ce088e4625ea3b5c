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
        auto row = [](const char* name, const QString& text, int r, int c, const QString& cell) {
            QTest::newRow(name) << text << r << c << cell;
        };
        row("quoted comma", "x,\"1,234.50\",y", 1, 2, "1,234.50|-");
        row("line break in quotes", "\"two\r\nlines\",after\r\nnext", 1, 2, "after|-");
        row("record after quoted break", "\"a\nb\",c\nd", 2, 1, "d|-");
        row("lone cr rows", "a\rb", 2, 1, "b|-");
        row("empty field keeps columns", "a,,c", 1, 3, "c|-");
        row("blanks around number", " 42 ", 1, 1, " 42 |42");
        row("quoted number", "\"12.5\"", 1, 1, "12.5|12.5");
        row("currency is text", "$5", 1, 1, "$5|-");
        row("thousands is text", "\"1,000\"", 1, 1, "1,000|-");
        row("trailing words are text", "42 shares", 1, 1, "42 shares|-");
        row("inf is text", "inf", 1, 1, "inf|-");
        row("byte order mark", QString(QChar(0xFEFF)) + "Date,Type", 1, 1, "Date|-");
        row("stray quote kept", "ab\"c,d", 1, 1, "ab\"c|-");
        row("unterminated quote", "\"open,end", 1, 1, "open,end|-");
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

    // The same trades in both workbook formats read to the same cells.
    void workbookCells_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("expected");
        auto cell = [](const QString& file, const char* name, int r, int c, const QString& text) {
            QTest::newRow(qPrintable(file + u' ' + QLatin1String(name))) << file << r << c << text;
        };
        for (const QString file : {"trades.xlsx", "trades.xls"}) {
            cell(file, "custom date", 3, 1, "3/15/2000|36600");
            cell(file, "shared string", 2, 2, "Bought|-");
            cell(file, "decimal with money format", 2, 5, "5000.5|5000.5");
        }
        cell("trades.xlsx", "rich text without phonetic run", 3, 3, "O'Brien & Co|-");
        cell("trades.xlsx", "boolean", 3, 6, "TRUE|1");
        cell("trades.xlsx", "date and time", 4, 1, "6/23/2000|36700.75");
        cell("trades.xlsx", "formula text", 4, 2, "Dividend|-");
        cell("trades.xlsx", "elapsed hours are no date", 4, 4, "1.5|1.5");
        cell("trades.xlsx", "error value", 4, 5, "#DIV/0!|-");
        cell("trades.xlsx", "iso date cell", 6, 1, "7/4/2000|36711");
        cell("trades.xlsx", "cell without reference", 6, 3, "2.25|2.25");
        cell("trades_elsewhere.xlsx", "chart sheet first", 3, 1, "3/15/2000|36600");
        cell("trades_1904.xlsx", "1904 calendar", 3, 1, "3/15/2000|36600");
        cell("trades.xls", "unicode text", 3, 3, "Caf\u00e9 \u20ac|-");
        cell("trades.xls", "text in date column", 4, 1, "not a date|-");
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

    void firstWorksheetIsActive() {
        for (const char* file : {"trades.xlsx", "trades.xls"}) {
            const auto sheet = readSpreadsheet(fixture(file), nullptr);
            QVERIFY(sheet && sheet->rowCount() >= 4);
            for (int r = 1; r <= sheet->rowCount(); ++r)
                QVERIFY(sheet->text(r, 1) != QStringLiteral("not the first sheet"));
        }
    }

    // Files on disk: a CSV file in UTF-8 (with its mark) or in Latin-1 reads
    // the same; a file that cannot be read names itself and why.
    void files_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("outcome"); // cells A1 and A2, or the start of the error
        QFile zip(fixture(QStringLiteral("not_a_workbook.xlsx")));
        QVERIFY(zip.open(QIODevice::ReadOnly));
        const QString cannot = QStringLiteral("Cannot read the spreadsheet %1");
        const QString cafe = QStringLiteral("Symbol Caf\u00e9");
        QTest::newRow("utf-8 csv")
            << "u.csv" << QByteArray("\xEF\xBB\xBFSymbol\nCaf\xC3\xA9\n") << cafe;
        QTest::newRow("latin-1 csv") << "l.csv" << QByteArray("Symbol\nCaf\xE9\n") << cafe;
        QTest::newRow("missing") << "missing.xlsx" << QByteArray() << "File not found: %1";
        QTest::newRow("html named xls") << "page.xls" << QByteArray("<html>x</html>") << cannot;
        QTest::newRow("empty xlsx") << "empty.xlsx" << QByteArray("") << cannot;
        QTest::newRow("zip without workbook")
            << "zip.xlsx" << zip.readAll() << cannot + ": not an Excel workbook";
        QTest::newRow("not a spreadsheet")
            << "notes.txt" << QByteArray("x") << "Not a spreadsheet file: %1";
    }
    void files() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!content.isNull())
            writeFile(path, content);
        QString error;
        const auto sheet = readSpreadsheet(path, &error);
        if (sheet)
            QCOMPARE(sheet->text(1, 1) + u' ' + sheet->text(2, 1), outcome);
        else
            QVERIFY2(error.startsWith(outcome.arg(path)), qPrintable(error));
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
