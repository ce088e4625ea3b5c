#include "capture/sources/csv_reader.h"
#include "capture/sources/pasted_text.h"
#include "capture/sources/sheet_limits.h"
#include "capture/sources/spreadsheet_reader.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QtTest>

#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <zip.h>

using namespace gainbook;

namespace {

QString fixture(const QString& name) {
    return test::testData(QStringLiteral("capture/sources/") + name);
}

// A cell as "text|number" ("text|-" without a number) for compact compares.
QString show(const SheetDocument& sheet, int row, int col) {
    const SheetCell& c = sheet.cell(row, col);
    return c.text + u'|' + (c.number ? QString::number(*c.number, 'g', 12) : QStringLiteral("-"));
}

// A workbook of one sheet whose <sheetData> holds rows, as a zip file.
void writeWorkbook(const QString& path, const QByteArray& rows) {
    const QMap<QString, QByteArray> parts{
        {"xl/workbook.xml",
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
         "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<sheetData>" +
             rows + "</sheetData></worksheet>"},
    };
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    QVERIFY(zip);
    for (auto part = parts.cbegin(); part != parts.cend(); ++part) {
        zip_source_t* source =
            zip_source_buffer(zip, part.value().constData(), zip_uint64_t(part.value().size()), 0);
        QVERIFY(zip_file_add(zip, part.key().toUtf8().constData(), source, ZIP_FL_OVERWRITE) >= 0);
    }
    QCOMPARE(zip_close(zip), 0);
}

QByteArray inlineCell(const QByteArray& ref, const QByteArray& text) {
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// Little-endian field of a byte array, for changing a file's own headers.
void putLittleEndian(QByteArray& bytes, qsizetype at, quint32 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
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
        // Rows keep their count and the widest row's columns: blank lines too.
        row("short rows and blank lines", "h1,h2,h3\n1,2\n\n4\n", 4, 1, "4|4");
    }
    void csvFields() {
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, expected);
        const SheetDocument sheet = *parseCsv(text);
        QCOMPARE(show(sheet, row, col), expected);
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

    // Files on disk: a CSV file in UTF-8 (with its mark) or in Latin-1 reads
    // the same; a file that cannot be read names itself and why.
    void files_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("outcome"); // cells A1 and A2, or the start of the error
        const QString cannot = QStringLiteral("Cannot read the spreadsheet %1");
        const QString cafe = QStringLiteral("Symbol Caf\u00e9");
        QTest::newRow("utf-8 csv")
            << "u.csv" << QByteArray("\xEF\xBB\xBFSymbol\nCaf\xC3\xA9\n") << cafe;
        QTest::newRow("latin-1 csv") << "l.csv" << QByteArray("Symbol\nCaf\xE9\n") << cafe;
        QTest::newRow("missing") << "missing.xlsx" << QByteArray() << "File not found: %1";
        QTest::newRow("html named xls") << "page.xls" << QByteArray("<html>x</html>") << cannot;
        QTest::newRow("empty xlsx") << "empty.xlsx" << QByteArray("") << cannot;
        QTest::newRow("zip without workbook")
            << "zip.xlsx" << test::readBytes(fixture("not_a_workbook.xlsx"))
            << cannot + ": not an Excel workbook";
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
            test::writeBytes(path, content);
        QString error;
        const auto sheet = readSpreadsheet(path, &error);
        if (sheet)
            QCOMPARE(sheet->text(1, 1) + u' ' + sheet->text(2, 1), outcome);
        else
            QVERIFY2(error.startsWith(outcome.arg(path)), qPrintable(error));
    }

    // Row and column numbers beyond a sheet's end, and more than a reader's
    // budget, stop the read with the reason; numbers up to the end are read
    // without making room for the empty cells before them.
    void bounds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("outcome"); // "rows x columns / cells", or the error
        auto row = [](const char* name, const QByteArray& content, const QString& outcome) {
            QTest::newRow(name) << (QByteArray(name).startsWith("csv") ? "a.csv" : "a.xlsx")
                                << content << outcome;
        };
        // A row of the sheet holding one inline cell.
        auto cell = [](const QByteArray& row, const QByteArray& ref) {
            return "<row r=\"" + row + "\">" + inlineCell(ref, "x") + "</row>";
        };
        const QString large = QStringLiteral("The file is too large or damaged: ");
        const QString lastRow = QStringLiteral(" is beyond the last row of a sheet (1,048,576)");
        row("xlsx last row", cell("1048576", "A1048576"), "1048576 x 1 / 1");
        row("xlsx last column", cell("1", "XFD1"), "1 x 16384 / 1");
        row("xlsx rows and cells out of order",
            "<row r=\"3\">" + inlineCell("C3", "c") + inlineCell("A3", "a") + "</row>" +
                cell("1", "B1"),
            "3 x 3 / 3");
        row("xlsx row past the end", cell("1048577", "A1"), large + "row 1048577" + lastRow);
        row("xlsx row of two billion", cell("2000000000", "A1"),
            large + "row 2000000000" + lastRow);
        row("xlsx row of thirty digits", cell("123456789012345678901234567890", "A1"),
            large + "row 123456789012345678901234567890" + lastRow);
        row("xlsx column past XFD", cell("1", "XFE1"),
            large + "cell XFE1 is beyond the last column of a sheet (XFD)");
        row("xlsx cells spanning too much", cell("1", "A1") + cell("1048576", "AG1048576"),
            large + "the cells in use span 1048576 rows by 33 columns");
        const QByteArray commas(16383, ',');
        row("csv last column", commas + "z", "1 x 16384 / 1");
        row("csv column past the end", commas + ",z",
            large + "column 16385 is beyond the last column of a sheet (16,384)");
        row("csv row past the end", QByteArray(1048576, '\n') + "x",
            large + "row 1048577" + lastRow);
    }
    void bounds() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name.endsWith(u"xlsx"))
            writeWorkbook(path, content);
        else
            test::writeBytes(path, content);
        QString error;
        const auto sheet = readSpreadsheet(path, &error);
        QCOMPARE(sheet ? QString::asprintf("%d x %d / %lld", sheet->rowCount(),
                                           sheet->columnCount(), qint64(sheet->cellCount()))
                       : error,
                 outcome);
    }

    // A part whose stated size passes the budget is refused before anything
    // is unpacked (the zip bomb); a workbook whose header claims a used range
    // the library would make room for, cell by cell, before it is read.
    void statedSizes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("zip part of 2 GB")
            << "bomb.xlsx"
            << "The file is too large or damaged: its parts unpack to more than 256 MB";
        QTest::newRow("xls of 65536 by 256")
            << "wide.xls"
            << "The file is too large or damaged: its first worksheet claims 65536 rows by 256 "
               "columns";
    }
    void statedSizes() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QByteArray bytes;
        if (name.endsWith(u"xlsx")) {
            writeWorkbook(path, "<row r=\"1\">" + inlineCell("A1", "x") + "</row>");
            bytes = test::readBytes(path);
            // The uncompressed size of the sheet, in its local and its
            // central directory header.
            const QByteArray sheet = "xl/worksheets/sheet1.xml";
            for (const auto& [signature, sizeAt, nameAt] :
                 {std::tuple{QByteArray("PK\x03\x04"), 22, 30},
                  std::tuple{QByteArray("PK\x01\x02"), 24, 46}}) {
                for (qsizetype at = bytes.indexOf(signature); at >= 0;
                     at = bytes.indexOf(signature, at + 4)) {
                    if (bytes.mid(at + nameAt, sheet.size()) == sheet)
                        putLittleEndian(bytes, at + sizeAt, 0x7FFFFFFF, 4);
                }
            }
        } else {
            bytes = test::readBytes(fixture(QStringLiteral("trades.xls")));
            // The worksheet's DIMENSIONS record (0x0200, 14 bytes): last row
            // plus one and last column plus one.
            const qsizetype at = bytes.indexOf(QByteArray("\x00\x02\x0E\x00", 4));
            QVERIFY(at >= 0);
            putLittleEndian(bytes, at + 8, 65536, 4);
            putLittleEndian(bytes, at + 14, 256, 2);
        }
        test::writeBytes(path, bytes);
        QString message;
        QVERIFY(!readSpreadsheet(path, &message));
        QCOMPARE(message, error);
    }

    // A text file is read whole, with room made for its own size only, and
    // refused past the bound; a pipe, which has no size, is read to its end
    // piece by piece.
    void boundedText_data() {
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<qint64>("size");
        QTest::newRow("file") << false << (qint64(3) << 20);
        QTest::newRow("empty file") << false << qint64(0);
        QTest::newRow("pipe of several pieces") << true << (qint64(3) << 20) + 5;
        QTest::newRow("empty pipe") << true << qint64(0);
        QTest::newRow("file past the bound") << false << kMaxSheetBytes + 1;
    }
    void boundedText() {
        QFETCH(bool, pipe);
        QFETCH(qint64, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("text.csv"));
        QByteArray bytes;
        if (size <= kMaxSheetBytes) {
            bytes.resize(size);
            for (qint64 i = 0; i < size; ++i)
                bytes[i] = i % 61 == 60 ? '\n' : char('A' + i % 26);
        }
        std::thread writer;
        if (pipe) {
            QVERIFY(::mkfifo(QFile::encodeName(path), 0600) == 0);
            writer = std::thread([&] { test::writeBytes(path, bytes); });
        } else if (size > kMaxSheetBytes) {
            QFile sparse(path); // holes: no disk space taken
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
        } else {
            test::writeBytes(path, bytes);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString error;
        const std::optional<QString> text = readBoundedText(file, &error);
        if (writer.joinable())
            writer.join();
        if (size > kMaxSheetBytes) {
            QVERIFY(!text);
            QCOMPARE(error, QStringLiteral("The file is too large or damaged: it holds more than "
                                           "256 MB of text"));
            return;
        }
        QVERIFY2(text, qPrintable(error));
        QCOMPARE(*text, QString::fromLatin1(bytes));
    }

    // A file of /proc says it holds nothing, and holds a page of text.
    void fileLongerThanItsSize() {
        QFile file(QStringLiteral("/proc/self/status"));
        if (!file.open(QIODevice::ReadOnly) || file.size() != 0)
            QSKIP("no /proc file of size 0 here");
        QString error;
        const std::optional<QString> text = readBoundedText(file, &error);
        QVERIFY2(text, qPrintable(error));
        QVERIFY2(text->startsWith(QStringLiteral("Name:")) && text->endsWith(u'\n'),
                 qPrintable(*text));
        QVERIFY(text->contains(QStringLiteral("\nPid:")));
    }

    void pastedTextLineEnds() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("paste.txt"));
        test::writeBytes(path, "Date Bought\n12/01/2000 Sold\r\nlast\rend");
        QString error;
        const auto text = loadPastedText(path, &error);
        QVERIFY2(text, qPrintable(error));
        QCOMPARE(*text, QStringLiteral("Date Bought\r\n12/01/2000 Sold\r\nlast\r\nend"));
        QVERIFY(!loadPastedText(dir.filePath(QStringLiteral("none.txt")), &error));
        QVERIFY(error.startsWith(QStringLiteral("File not found: ")));
    }
};

GAINBOOK_GUILESS_TEST(TestSpreadsheetReaders)
#include "test_spreadsheet_readers.moc"
