#include "app/app_context.h"
#include "app/frm_browse.h"
#include "app/frm_disclaim.h"
#include "app/start_sequence.h"
#include "support/memory_settings.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
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

private slots:
    void splashThenDisclaimerThenMainWindow() {
        Start s;
        QVERIFY(s.sequence->Main(true));
        QPointer<frmBrowse> splash = s.sequence->splash();
        QVERIFY(splash->isVisible());
        QVERIFY(splash->isSplashPage());
        QVERIFY(!splash->cmdClose->isVisible());
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(splash->Timer1->interval(), 5000);
        QCOMPARE(splash->windowTitle(), s.context.docsPage("splash.htm"));
        QCOMPARE(s.disclaimers, 0);

        splash->Timer1_Timer(); // what the timer does when it fires
        QTRY_VERIFY(!splash);
        QTRY_COMPARE(s.disclaimers, 1);
        QCOMPARE(s.mains, 1);
        QVERIFY(s.exits.isEmpty());
    }

    void withTheTimerOffTheSplashStays() {
        Start s;
        QVERIFY(s.sequence->Main(false));
        frmBrowse* splash = s.sequence->splash();
        QVERIFY(!splash->Timer1->isActive());
        QTest::qWait(20);
        QVERIFY(splash->isVisible());
        QCOMPARE(s.disclaimers, 0);
        QCOMPARE(s.mains, 0);
        splash->close();
        QTest::qWait(20);
        QCOMPARE(s.disclaimers, 0);
    }

    void closingTheSplashEarlyMovesOn() {
        Start s;
        QVERIFY(s.sequence->Main(true));
        s.sequence->splash()->close();
        QTRY_COMPARE(s.disclaimers, 1);
        QCOMPARE(s.mains, 1);
    }

    void doNotAgreeEndsTheProgram() {
        Start s;
        s.agree = false;
        QVERIFY(s.sequence->Main(true));
        s.sequence->splash()->Timer1_Timer();
        QTRY_COMPARE(s.disclaimers, 1);
        QCOMPARE(s.mains, 0);
        QCOMPARE(s.exits, QList<int>{0});
    }

    void refusedComponentsEndBeforeTheSplash() {
        Start s;
        s.componentsOk = false;
        QVERIFY(!s.sequence->Main(true));
        QCOMPARE(s.exits, QList<int>{0});
        QCOMPARE(s.disclaimers, 0);
        QTRY_VERIFY(!s.sequence->splash());
    }

    void disclaimerWindow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("I agree") << "Command1" << int(QDialog::Accepted);
        QTest::newRow("Do not Agree") << "Command2" << int(QDialog::Rejected);
    }
    void disclaimerWindow() {
        QFETCH(QString, button);
        QFETCH(int, result);
        frmDisclaim d;
        QCOMPARE(d.windowTitle(), QString("Please Read Carefully"));
        QCOMPARE(d.Command1->text(), QString("I agree"));
        QCOMPARE(d.Command2->text(), QString("Do not Agree"));
        QVERIFY(d.Text1->isReadOnly());
        QVERIFY(d.Text1->toPlainText().startsWith("The Kestrova Inc"));
        QVERIFY(!d.Picture1->pixmap().isNull());
        QTimer::singleShot(
            0, &d, [&] { QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton); });
        QCOMPARE(d.exec(), result);
    }

    void pageWindowSizes() {
        QTemporaryDir dir;
        frmBrowse about(dir.path() + "/docs/about.htm", dir.path());
        QCOMPARE(about.size(), QSize(400, 400));
        QVERIFY(!about.isUserGuidePage());
        QVERIFY(!about.Timer1->isActive());
        frmBrowse guide(dir.path() + "/docs/usrguid.htm", dir.path());
        QVERIFY(guide.isUserGuidePage());
        const QSize screen = guide.screen()->availableSize();
        QCOMPARE(guide.size(), screen - QSize(13, 13));
        guide.show();
        // The close button keeps to the lower right corner.
        QCOMPARE(guide.cmdClose->geometry().right(),
                 guide.width() - 106 + guide.cmdClose->width() - 1);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestDesktopStart test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop_start.moc"
