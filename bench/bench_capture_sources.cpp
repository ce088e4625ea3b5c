// Times the document sources of a capture run: loading and snapshotting a
// broker page of 5,000 table rows through the browser engine, and reading a
// 50,000-row sheet as csv and as xlsx. Prints the best and the median of a
// few runs of each.
//
//   bench_capture_sources [RUNS [DIR]]
//
// With DIR the generated page and sheets are written there and kept, to time
// other tools (gainbook-cli capture) on the same files.

#include "bench_files.h"
#include "bench_main.h"
#include "capture/sources/spreadsheet_reader.h"
#include "capture/web/browser_setup.h"
#include "capture/web/document_loader.h"
#include "capture/web/dom_snapshot.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>
#include <zip.h>

using namespace gainbook;

using bench::tradeDate;
using bench::writeText;

namespace {

constexpr int kPageRows = 5000;
constexpr int kSheetRows = 50000;

const char* const kSymbols[] = {"MSFT", "INTC", "CSCO", "ORCL", "QCOM", "YHOO", "AMZN", "DELL"};

QString makePage() {
    QString html;
    QTextStream s(&html);
    s << "<html><head><title>Transactions</title></head><body>\n"
         "<b>Account: 12345678</b>\n<table border=1>\n"
         "<tr><th>Date</th><th>Type</th><th>Qty</th><th>Symbol</th><th>Price</th>"
         "<th>Commission</th><th>Amount</th></tr>\n";
    for (int i = 0; i < kPageRows; ++i) {
        const bool buy = i % 2 == 0;
        s << "<tr><td>" << tradeDate(i) << "</td><td>" << (buy ? "Bought" : "Sold") << "</td><td>"
          << (100 + i % 900) << "</td><td>" << kSymbols[i % 8] << "</td><td>$" << (20 + i % 80)
          << ".25</td><td>$19.95</td><td>" << (buy ? "($" : "$") << (2000 + i) << ".50"
          << (buy ? ")" : "") << "</td></tr>\n";
    }
    s << "</table>\n<p>Total 5000 transactions</p></body></html>\n";
    return html;
}

QString makeCsv() {
    QString csv;
    QTextStream s(&csv);
    s << "Date,Type,Symbol,Quantity,Amount,Memo\r\n";
    for (int i = 0; i < kSheetRows; ++i) {
        s << tradeDate(i) << ',' << (i % 2 ? "Sell" : "Buy") << ',' << kSymbols[i % 8] << ','
          << (100 + i % 900) << ',' << (2000 + i) << ".5,\"lot " << i << ", note\"\r\n";
    }
    return csv;
}

bool addZipEntry(zip_t* zip, const char* name, const QByteArray& data) {
    // libzip reads the buffer when the archive is closed: it must own a copy.
    void* copy = std::malloc(size_t(data.size()));
    std::memcpy(copy, data.constData(), size_t(data.size()));
    zip_source_t* source = zip_source_buffer(zip, copy, zip_uint64_t(data.size()), 1);
    return source && zip_file_add(zip, name, source, ZIP_FL_OVERWRITE) >= 0;
}

bool makeXlsx(const QString& path) {
    const QByteArray types =
        R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/></Types>)";
    const QByteArray workbook =
        R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Trades" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const QByteArray rels =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
    const QByteArray styles =
        R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)";

    QByteArray strings =
        R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    for (const char* word : {"Date", "Type", "Symbol", "Quantity", "Amount", "Buy", "Sell"})
        strings += QByteArray("<si><t>") + word + "</t></si>";
    for (const char* symbol : kSymbols)
        strings += QByteArray("<si><t>") + symbol + "</t></si>";
    strings += "</sst>";

    QByteArray sheet =
        R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
    sheet +=
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c><c r="D1" t="s"><v>3</v></c><c r="E1" t="s"><v>4</v></c></row>)";
    for (int i = 0; i < kSheetRows; ++i) {
        const QByteArray r = QByteArray::number(i + 2);
        sheet += "<row r=\"" + r + "\"><c r=\"A" + r + "\" s=\"1\"><v>" +
                 QByteArray::number(36526 + i % 366) + "</v></c><c r=\"B" + r + "\" t=\"s\"><v>" +
                 QByteArray::number(5 + i % 2) + "</v></c><c r=\"C" + r + "\" t=\"s\"><v>" +
                 QByteArray::number(7 + i % 8) + "</v></c><c r=\"D" + r + "\"><v>" +
                 QByteArray::number(100 + i % 900) + "</v></c><c r=\"E" + r + "\"><v>" +
                 QByteArray::number(2000 + i) + ".5</v></c></row>";
    }
    sheet += "</sheetData></worksheet>";

    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        return false;
    const bool ok = addZipEntry(zip, "[Content_Types].xml", types) &&
                    addZipEntry(zip, "xl/workbook.xml", workbook) &&
                    addZipEntry(zip, "xl/_rels/workbook.xml.rels", rels) &&
                    addZipEntry(zip, "xl/styles.xml", styles) &&
                    addZipEntry(zip, "xl/sharedStrings.xml", strings) &&
                    addZipEntry(zip, "xl/worksheets/sheet1.xml", sheet);
    if (!ok) {
        zip_discard(zip);
        return false;
    }
    return zip_close(zip) == 0;
}

void report(const char* what, std::vector<double> ms, const QString& detail) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s best %8.1f ms   median %8.1f ms   (%s)\n", what, ms.front(),
                ms[ms.size() / 2], qPrintable(detail));
    std::fflush(stdout);
}

int totalElements(const PageDocument& doc) {
    int n = int(doc.elements.size());
    for (const PageDocument& f : doc.frames)
        n += totalElements(f);
    return n;
}

int runBench(int argc, char* argv[]) {
    prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir temporary;
    const QDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    const QString pagePath = dir.filePath(QStringLiteral("history.html"));
    const QString csvPath = dir.filePath(QStringLiteral("trades.csv"));
    const QString xlsxPath = dir.filePath(QStringLiteral("trades.xlsx"));
    if (!dir.mkpath(QStringLiteral(".")) || !writeText(pagePath, makePage()) ||
        !writeText(csvPath, makeCsv()) || !makeXlsx(xlsxPath)) {
        std::fprintf(stderr, "cannot write the benchmark files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("%d runs each; page of %d rows, sheets of %d rows\n", runs, kPageRows, kSheetRows);

    // The browser path, whole: what the command line pays per capture. The
    // first load also starts the engine, so it is reported apart.
    std::vector<double> whole;
    QString detail;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer t;
        t.start();
        QString error;
        const auto doc = loadDocument(pagePath, &error);
        const double ms = t.nsecsElapsed() / 1e6;
        if (!doc) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        if (i == 0) {
            std::printf("%-44s %8.1f ms\n", "first page load (engine start-up included)", ms);
            continue;
        }
        whole.push_back(ms);
        detail = QStringLiteral("%1 elements").arg(totalElements(*doc));
    }
    report("page load + snapshot (loadDocument)", whole, detail);

    // The same split in two: the load of a shown page, then the snapshot a
    // capture takes of it.
    std::vector<double> loads;
    std::vector<double> snaps;
    for (int i = 0; i < runs; ++i) {
        QWebEnginePage page;
        QEventLoop loop;
        QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        page.load(QUrl::fromLocalFile(pagePath));
        loop.exec();
        loads.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        bool ok = false;
        snapshotPage(&page, [&](std::optional<PageDocument> doc, const QString&) {
            ok = doc.has_value();
            loop.quit();
        });
        loop.exec();
        snaps.push_back(t.nsecsElapsed() / 1e6);
        if (!ok)
            return 1;
    }
    report("page load only", loads, QStringLiteral("QWebEnginePage::load"));
    report("snapshot only", snaps, QStringLiteral("one script call + conversion"));

    for (const QString& path : {csvPath, xlsxPath}) {
        std::vector<double> times;
        QString shape;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            QString error;
            const auto sheet = readSpreadsheet(path, &error);
            times.push_back(t.nsecsElapsed() / 1e6);
            if (!sheet) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            shape = QStringLiteral("%1 rows x %2 columns, %3 KB")
                        .arg(sheet->rowCount())
                        .arg(sheet->columnCount())
                        .arg(QFileInfo(path).size() / 1024);
        }
        const QByteArray label = "read " + QFileInfo(path).suffix().toUtf8() + " sheet";
        report(label.constData(), times, shape);
    }
    return 0;
}

} // namespace

GAINBOOK_BENCH(bench_capture_sources, runBench)
