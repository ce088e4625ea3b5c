#include "capture/page_document_json.h"
#include "capture/web/browser_setup.h"
#include "capture/web/document_loader.h"

#include <QGuiApplication>

#include <cstdio>

// gainbook-page-snapshot [--timeout S] SOURCE
//
// Loads SOURCE (a saved page or an address) as the capture screen's browser
// would and writes the snapshot of the document, frames included, as JSON to
// standard output (exit code 0). The load goes on while the page makes
// progress and is given up after S seconds without any (30 by default).
// When the page cannot be loaded the message is written there instead (exit
// code 1); a wrong call gives exit code 2. The engine's own notes go to
// standard error when GAINBOOK_DEBUG is set.
int main(int argc, char* argv[]) {
    gainbook::prepareBrowserEngine();
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int stallMs = gainbook::kDefaultStallMs;
    bool ok = true;
    if (args.size() == 3 && args.front() == u"--timeout") {
        const double seconds = args[1].toDouble(&ok);
        ok = ok && seconds > 0;
        stallMs = ok ? std::max(1, int(seconds * 1000)) : 0;
        args = args.mid(2);
    }
    if (!ok || args.size() != 1 || args.front().startsWith(u'-')) {
        std::fputs("usage: gainbook-page-snapshot [--timeout S] SOURCE\n", stderr);
        return 2;
    }
    QString error;
    const auto document = gainbook::loadDocument(args.front(), &error, stallMs);
    const QByteArray answer =
        document ? gainbook::pageDocumentToJson(*document) : error.toUtf8() + '\n';
    std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout);
    std::fflush(stdout);
    return document ? 0 : 1;
}
