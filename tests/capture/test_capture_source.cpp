#include "capture/capture_source.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using Kind = CaptureSource::Kind;

Q_DECLARE_METATYPE(gainbook::CaptureSource::Kind)

namespace {

// A shipped-pages folder and a current folder; "welcome.html" is in both.
struct Folders {
    QTemporaryDir root;
    QString docs = root.filePath("docs");
    QString current = root.filePath("work");

    Folders() {
        QDir(root.path()).mkpath("docs");
        QDir(root.path()).mkpath("work/saved");
        for (const QString& file : {docs + "/welcome.html", current + "/welcome.html",
                                    current + "/history.XLSX", current + "/statement"}) {
            QFile f(file);
            f.open(QIODevice::WriteOnly);
        }
    }
};

} // namespace

// The screen's address box and the tool's SOURCE argument are read by the
// same rules; the folders stand for the shipped pages and the current one.
class TestCaptureSource : public QObject {
    Q_OBJECT

private slots:
    void resolves_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("url");  // "@" stands for the temporary root
        QTest::addColumn<QString>("path"); // the same
        auto row = [](const char* name, const QString& text, Kind kind, const QString& url,
                      const QString& path, bool pasted = false) {
            QTest::newRow(name) << text << pasted << kind << url << path;
        };
        row("web address kept whole", "https://example.com/a?b=1#c", Kind::Address,
            "https://example.com/a?b=1#c", "");
        row("other scheme", "ftp://example.com/x.csv", Kind::Address, "ftp://example.com/x.csv",
            "");
        row("bare host", " www.example.com ", Kind::Address, "http://www.example.com", "");
        row("shipped page before the current folder", "welcome.html", Kind::Page,
            "file://@/docs/welcome.html", "@/docs/welcome.html");
        row("file without a known ending", "statement", Kind::Page, "file://@/work/statement",
            "@/work/statement");
        row("folder", "saved", Kind::Page, "file://@/work/saved", "@/work/saved");
        row("missing page in the current folder", "nowhere.htm", Kind::Page,
            "file://@/work/nowhere.htm", "@/work/nowhere.htm");
        row("sheet ending in any case", "history.XLSX", Kind::Sheet, "file://@/work/history.XLSX",
            "@/work/history.XLSX");
        row("missing sheet", "gone.xls", Kind::Sheet, "file://@/work/gone.xls", "@/work/gone.xls");
        row("missing file named relatively", "../work/gone", Kind::Page, "file://@/work/gone",
            "@/work/gone");
        row("absolute csv path", "@/elsewhere/a.csv", Kind::Sheet, "file://@/elsewhere/a.csv",
            "@/elsewhere/a.csv");
        row("file address of a sheet", "file://@/work/history.XLSX", Kind::Sheet,
            "file://@/work/history.XLSX", "@/work/history.XLSX");
        row("file address keeps its query", "file://@/work/welcome.html?x=1", Kind::Page,
            "file://@/work/welcome.html?x=1", "@/work/welcome.html");
        row("pasted text file", "notes.csv", Kind::PastedText, "", "notes.csv", true);
        row("empty", "  ", Kind::None, "", "");
    }
    void resolves() {
        QFETCH(QString, text);
        QFETCH(bool, pasted);
        QFETCH(Kind, kind);
        QFETCH(QString, url);
        QFETCH(QString, path);
        Folders folders;
        const QString root = folders.root.path();
        const CaptureSource source =
            resolveCaptureSource(text.replace("@", root), folders.docs, folders.current, pasted);
        QCOMPARE(source.kind, kind);
        QCOMPARE(source.url.toString(), url.replace("@", root));
        QCOMPARE(source.path, path.replace("@", root));
        QCOMPARE(source.isSheet(), kind == Kind::Sheet);
    }
};

GAINBOOK_GUILESS_TEST(TestCaptureSource)
#include "test_capture_source.moc"
