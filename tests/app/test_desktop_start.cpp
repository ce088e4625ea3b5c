#include "app/start_sequence.h"
#include "platform/installed_files.h"
#include "startup/app_context.h"
#include "startup/screen/frm_browse.h"
#include "startup/screen/frm_disclaim.h"
#include "support/memory_settings.h"
#include "support/test_main.h"

#include <QPushButton>
#include <QWebEngineView>
#include <QtTest>

using namespace gainbook;
using gainbook::test::MemorySettings;

namespace {

// A start sequence whose steps only record that they ran.
struct Start {
    QTemporaryDir dir;
    MemorySettings settings;
    AppContext context{dir.path(), settings};
    bool componentsOk = true;
    bool agree = true;
    int disclaimers = 0;
    int mains = 0;
    QList<int> exits;
    std::unique_ptr<StartSequence> sequence;

    Start() {
        StartSequence::Steps steps;
        steps.checkComponents = [this] { return componentsOk; };
        steps.askDisclaimer = [this] {
            ++disclaimers;
            return agree;
        };
        steps.showMain = [this] { ++mains; };
        steps.endProgram = [this](int code) { exits << code; };
        sequence = std::make_unique<StartSequence>(context, steps);
    }
};

} // namespace

class TestDesktopStart : public QObject {
    Q_OBJECT

public:
    // The browser engine in its pages needs this before the application object exists.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void splashThenDisclaimer_data() {
        QTest::addColumn<QString>("way"); // how the splash ends
        QTest::addColumn<bool>("agree");
        QTest::newRow("timer, I agree") << "timer" << true;
        QTest::newRow("splash closed early") << "close" << true;
        QTest::newRow("a click skips it") << "click" << true;
        QTest::newRow("a key skips it") << "key" << true;
        QTest::newRow("Do not Agree") << "timer" << false;
    }
    void splashThenDisclaimer() {
        QFETCH(QString, way);
        QFETCH(bool, agree);
        Start s;
        s.agree = agree;
        QVERIFY(s.sequence->Main(true));
        QPointer<frmBrowse> splash = s.sequence->splash();
        QVERIFY(splash->isVisible());
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(s.disclaimers, 0);

        if (way == "close")
            splash->close();
        else if (way == "click")
            QTest::mouseClick(splash->WebBrowser1, Qt::LeftButton);
        else if (way == "key")
            QTest::keyClick(splash->WebBrowser1, Qt::Key_Escape);
        else
            splash->Timer1_Timer(); // what the timer does when it fires
        QTRY_VERIFY(!splash);
        QTRY_COMPARE(s.disclaimers, 1);
        QCOMPARE(s.mains, agree ? 1 : 0);
        QCOMPARE(s.exits, agree ? QList<int>{} : QList<int>{0});
    }

    void withTheTimerOffTheSplashStays() {
        Start s;
        QVERIFY(s.sequence->Main(false));
        frmBrowse* splash = s.sequence->splash();
        QVERIFY(!splash->Timer1->isActive());
        QTest::mouseClick(splash->WebBrowser1, Qt::LeftButton);
        QTest::qWait(20);
        QVERIFY(splash->isVisible());
        QCOMPARE(s.disclaimers, 0);
        splash->close();
        QTest::qWait(20);
        QCOMPARE(s.disclaimers, 0);
        QCOMPARE(s.mains, 0);
    }

    void refusedComponentsEndBeforeTheSplash() {
        Start s;
        s.componentsOk = false;
        QVERIFY(!s.sequence->Main(true));
        QCOMPARE(s.exits, QList<int>{0});
        QCOMPARE(s.disclaimers, 0);
        QTRY_VERIFY(!s.sequence->splash());
    }

    // Started from a folder without pages, the program finds its own (here
    // those of the build tree, beside the built program) and every shipped
    // page loads, rather than the browser's "file not found".
    void shippedPagesLoadFromAnotherFolder_data() {
        QTest::addColumn<QString>("page");
        for (const char* page :
             {"splash.htm", "usrguid.htm", "about.htm", "disclaim.htm", "welcome.html"})
            QTest::newRow(page) << QString::fromLatin1(page);
    }
    void shippedPagesLoadFromAnotherFolder() {
        QFETCH(QString, page);
        QTemporaryDir elsewhere;
        const QString startedIn = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const QString docs = findHelpFolder(GAINBOOK_PROGRAMS_DIR, QDir::currentPath());
        QVERIFY(QDir::setCurrent(startedIn));
        QVERIFY2(!docs.isEmpty(), "no help pages beside " GAINBOOK_PROGRAMS_DIR);

        MemorySettings settings;
        AppContext context(elsewhere.path(), settings);
        context.setDocsFolder(docs);
        // The start shows the splash of the folder found.
        QCOMPARE(context.pageToShow(), QDir(docs).filePath("splash.htm"));

        frmBrowse window(context.docsPage(page), context.docsFolder());
        QSignalSpy loaded(window.WebBrowser1, &QWebEngineView::loadFinished);
        window.show();
        QVERIFY(loaded.count() > 0 || loaded.wait(30000));
        QVERIFY2(loaded.first().first().toBool(), qPrintable(context.docsPage(page)));
        QCOMPARE(window.isSplashPage(), page == "splash.htm");
        QCOMPARE(window.isUserGuidePage(), page == "usrguid.htm");
    }

    void disclaimerButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("I agree") << "Command1" << int(QDialog::Accepted);
        QTest::newRow("Do not Agree") << "Command2" << int(QDialog::Rejected);
    }
    void disclaimerButtons() {
        QFETCH(QString, button);
        QFETCH(int, result);
        frmDisclaim d;
        QTimer::singleShot(
            0, &d, [&] { QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton); });
        QCOMPARE(d.exec(), result);
    }
};

GAINBOOK_TEST(TestDesktopStart)

#include "test_desktop_start.moc"
