#include "report/pdf/pdf_printer.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

// gainbook-pdf-writer FILE
//
// Reads the lines of a printed report from standard input (UTF-8, each the
// letter of its kind, a tab and its text) and writes them to FILE as a PDF
// (exit code 0). When the file cannot be written, why not goes to
// standard output (exit code 1); a wrong call gives exit code 2. Runs
// without a display: the fonts and the layout need no window.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args.front().startsWith(u'-')) {
        std::fputs("usage: gainbook-pdf-writer FILE < lines.txt\n", stderr);
        return 2;
    }
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        std::fputs("standard input could not be read\n", stdout);
        return 1;
    }
    const QString failure =
        gainbook::printPdf(gainbook::printLinesFromText(input.readAll()), args.front());
    if (!failure.isEmpty()) {
        const QByteArray text = failure.toUtf8() + '\n';
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 1;
    }
    return 0;
}
