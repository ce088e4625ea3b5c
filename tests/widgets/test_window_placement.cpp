#include "support/memory_settings.h"
#include "widgets/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

using namespace gainbook;
using gainbook::test::MemorySettings;

// A window left somewhere comes back there, unless no screen shows its
// title bar any more (a screen unplugged since, a resolution lowered).
class TestWindowPlacement : public QObject {
    Q_OBJECT

private slots:
    void placeComesBackOnlyOnAScreen_data() {
        QTest::addColumn<QPoint>("leftAt"); // from the screen's top left
        QTest::addColumn<QPoint>("shownAt");
        QTest::newRow("on the screen") << QPoint(40, 30) << QPoint(40, 30);
        QTest::newRow("partly off, title reachable") << QPoint(-200, 30) << QPoint(-200, 30);
        // Not where it was left, but where its title can be grabbed.
        QTest::newRow("right of every screen") << QPoint(6000, 30) << QPoint();
        QTest::newRow("title above the screen") << QPoint(40, -900) << QPoint();
    }
    void placeComesBackOnlyOnAScreen() {
        QFETCH(QPoint, leftAt);
        QFETCH(QPoint, shownAt);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        MemorySettings settings;
        {
            QWidget left;
            left.setObjectName("frmTest");
            new WindowPlacement(&left, settings);
            left.show();
            left.setGeometry(QRect(screen.topLeft() + leftAt, QSize(320, 240)));
            left.hide();
        }
        QVERIFY(!settings.values.value("Windows/frmTest").isEmpty());

        QWidget again;
        again.setObjectName("frmTest");
        again.resize(200, 150);
        new WindowPlacement(&again, settings);
        again.show();
        QCOMPARE(again.size(), QSize(320, 240));
        const QRect title(again.frameGeometry().topLeft(), QSize(again.width(), 24));
        QVERIFY(screen.intersected(title).width() >= 80);
        if (!shownAt.isNull())
            QCOMPARE(again.geometry().topLeft(), screen.topLeft() + shownAt);
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "test_window_placement.moc"
