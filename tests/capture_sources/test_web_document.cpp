#include "capture/web/browser_setup.h"
#include "capture/web/document_loader.h"
#include "capture/web/dom_snapshot.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QtTest>

using namespace gainbook;

namespace {

QString fixture(const QString& name) {
    return test::testData(QStringLiteral("capture/sources/") + name);
}

QStringList tags(const PageDocument& doc) {
    QStringList out;
    for (const PageElement& e : doc.elements)
        out << e.tagName;
    return out;
}

// The inner text of the first element with this tag, or a marker text.
QString firstText(const PageDocument& doc, const QString& tag, int skip = 0) {
    for (const PageElement& e : doc.elements) {
        if (e.tagName == tag && skip-- == 0)
            return e.innerText;
    }
    return QStringLiteral("<no %1>").arg(tag);
}

} // namespace

class TestWebDocument : public QObject {
    Q_OBJECT

public:
    // The engine reads its switches before the application object exists.
    static void initMain() { prepareBrowserEngine(); }

private slots:
    void plainPage() {
        QString error;
        const auto doc = loadDocument(fixture(QStringLiteral("page.html")), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->documentType(), QStringLiteral("HTML Document"));

        // Every element, in document order, tag names in upper case (the
        // SVG ones too, which the engine names in lower case).
        const QStringList expected = {
            "HTML", "HEAD", "TITLE", "STYLE", "SCRIPT", "BODY", "H1", "B",   "TABLE", "TBODY", "TR",
            "TD",   "TD",   "TD",    "TR",    "TD",     "TD",   "TD", "DIV", "SVG",   "TEXT",  "P"};
        QCOMPARE(tags(*doc), expected);

        // A row's text joins its cells with tabs, as the parsers expect; what
        // a script added before the load ended is part of the snapshot;
        // elements without inner text give their text content.
        QCOMPARE(
            (QStringList{firstText(*doc, "TR", 1), firstText(*doc, "P"), firstText(*doc, "TEXT")}),
            (QStringList{"01/03/2000\tBought\tMSFT & Co", "Added by script", "svg text"}));
        QVERIFY(!firstText(*doc, QStringLiteral("BODY")).contains(QStringLiteral("hidden text")));
    }

    // Saved framesets are common; the Datek fixture reads one end to end.
    // Here: a frame's own inline frame is that frame's frame; a frame of
    // another origin (a data address, a sandboxed local frame) is closed to
    // the page's script: it is loaded on its own, and its snapshot still
    // stands in its place.
    void frames_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("texts"); // the first B of each frame, in order
        QTest::newRow("frame inside a frame")
            << "frameset.html"
            << QStringList{"0 Account: 12345678", "1 <no B>", "1 inner Account: 12345678"};
        QTest::newRow("frames scripts may not enter")
            << "walled_frames.html" << QStringList{"0 From another origin", "1 Account: 12345678"};
    }
    void frames() {
        QFETCH(QString, file);
        QFETCH(QStringList, texts);
        QString error;
        const auto doc = loadDocument(fixture(file), &error);
        QVERIFY2(doc, qPrintable(error));
        QStringList found;
        for (qsizetype i = 0; i < doc->frames.size(); ++i) {
            const PageDocument& frame = doc->frames[i];
            found << QStringLiteral("%1 %2").arg(i).arg(firstText(frame, QStringLiteral("B")));
            for (const PageDocument& inner : frame.frames)
                found << QStringLiteral("%1 inner %2").arg(i).arg(firstText(inner, "B"));
        }
        QCOMPARE(found, texts);
    }

    void failures() {
        const QString missing = fixture(QStringLiteral("missing.html"));
        const QString folder = fixture(QStringLiteral("frames"));
        // Nothing listens on port 9 of this machine.
        const QString refused = QStringLiteral("http://127.0.0.1:9/history.html");
        for (const auto& [source, message] :
             {std::pair{missing, "File not found: " + missing},
              std::pair{QUrl::fromLocalFile(missing).toString(), "File not found: " + missing},
              std::pair{folder, "Not a file: " + folder},
              std::pair{refused, "Could not load " + refused}}) {
            QString error;
            QVERIFY(!loadDocument(source, &error, 10000));
            QVERIFY2(error.startsWith(message), qPrintable(error));
        }
    }

    void pageClosedBeforeAnswer() {
        auto* page = new QWebEnginePage;
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        page->setHtml(QStringLiteral("<p>gone</p>"));
        QVERIFY(loaded.wait(20000));
        int answers = 0;
        QString message;
        snapshotPage(page, [&](std::optional<PageDocument> doc, const QString& error) {
            ++answers;
            QVERIFY(!doc);
            message = error;
        });
        delete page;
        QTRY_COMPARE_WITH_TIMEOUT(answers, 1, 20000);
        QVERIFY(!message.isEmpty());
        QTest::qWait(200);
        QCOMPARE(answers, 1);
    }

    // The load waits as long as the page keeps coming, however long that is
    // in all, and gives up once nothing has arrived for the stall limit.
    void stallLimit_data() {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<QString>("outcome"); // paragraphs read, or the start of the error
        QTest::newRow("slow but moving: 12 pieces over 3 s, limit 1.5 s") << -1 << "12";
        QTest::newRow("stops after 2 pieces") << 2 << "Loading http://127.0.0.1:";
    }
    void stallLimit() {
        QFETCH(int, stopAfter);
        QFETCH(QString, outcome);
        // The head at once, then one of 12 paragraphs every 250 ms; with
        // stopAfter >= 0 only that many, then nothing, the connection open.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QByteArrayList pieces{"<html><body>"};
                for (int i = 0; i < 12; ++i)
                    pieces << "<p>part " + QByteArray::number(i) + "</p>\n";
                pieces << "</body></html>";
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                              QByteArray::number(pieces.join().size()) +
                              "\r\nConnection: close\r\n\r\n" + pieces.takeFirst());
                auto* timer = new QTimer(socket);
                connect(timer, &QTimer::timeout, socket, [=, sent = 0]() mutable {
                    if (pieces.isEmpty() || (stopAfter >= 0 && sent++ >= stopAfter)) {
                        timer->stop();
                        if (pieces.isEmpty())
                            socket->disconnectFromHost();
                    } else {
                        socket->write(pieces.takeFirst());
                    }
                });
                timer->start(250);
            }
        });
        QString error;
        const auto doc = loadDocument(
            QStringLiteral("http://127.0.0.1:%1/slow.html").arg(server.serverPort()), &error, 1500);
        QVERIFY2(doc ? QString::number(tags(*doc).count(QStringLiteral("P"))) == outcome
                     : error.startsWith(outcome) && error.contains("made no progress"),
                 qPrintable(error));
    }

    void timeoutLeavesEngineUsable() {
        QString error;
        QVERIFY(!loadDocument(fixture(QStringLiteral("page.html")), &error, 1));
        QVERIFY2(error.contains(QStringLiteral("made no progress")), qPrintable(error));
        const auto doc = loadDocument(fixture(QStringLiteral("page.html")), &error);
        QVERIFY2(doc, qPrintable(error));
        QCOMPARE(doc->elements.first().tagName, QStringLiteral("HTML"));
    }
};

GAINBOOK_TEST(TestWebDocument)

#include "test_web_document.moc"
