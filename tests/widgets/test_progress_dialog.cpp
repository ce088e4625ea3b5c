#include "support/recording_prompter.h"
#include "support/test_main.h"
#include "widgets/progress_dialog.h"

#include <QThread>
#include <QtTest>

using namespace gainbook;

namespace {

// Steps a run of 100 through the window, pausing pauseMs at each step and
// cancelling (as the user would, between two steps) before step cancelAt; the number of steps made
// before the run stopped.
int runThrough(ProgressDialog& window, int pauseMs, int cancelAt) {
    int made = 0;
    try {
        for (int i = 0; i <= 100; ++i) {
            // What Cancel, Esc and closing the window all do.
            if (i == cancelAt)
                window.dialog().cancel();
            window.progress().step(i, 100);
            ++made;
            QThread::msleep(pauseMs);
        }
    } catch (const RunCancelled&) {
    }
    return made;
}

} // namespace

class TestProgressDialog : public QObject {
    Q_OBJECT

private slots:
    void cancelStopsTheRun_data() {
        QTest::addColumn<int>("cancelAt");
        QTest::addColumn<int>("made");
        QTest::newRow("never") << -1 << 101;
        QTest::newRow("before the first step") << 0 << 0;
        QTest::newRow("halfway") << 50 << 50;
        QTest::newRow("before the last step") << 100 << 100;
    }
    void cancelStopsTheRun() {
        QFETCH(int, cancelAt);
        QFETCH(int, made);
        QWidget parent;
        parent.setWindowTitle(QStringLiteral("Processing Record"));
        ProgressDialog window(&parent, QStringLiteral("Processing A"));
        QCOMPARE(runThrough(window, 0, cancelAt), made);
    }

    // The window comes up once the run has taken half a second, titled as
    // the window that started the run, and shows the share done.
    void showsAfterHalfASecond() {
        QWidget parent;
        parent.setWindowTitle(QStringLiteral("Processing Record"));
        parent.show();
        ProgressDialog window(&parent, QStringLiteral("Processing A"));
        window.progress().step(0, 10);
        QVERIFY(!window.dialog().isVisible());
        QThread::msleep(700);
        window.progress().step(5, 10);
        QTRY_VERIFY(window.dialog().isVisible());
        QCOMPARE(window.dialog().windowTitle(), QStringLiteral("Processing Record"));
        QCOMPARE(window.dialog().value() * 2, window.dialog().maximum());
    }

    // A question the run asks once the window is up (a split found by a
    // capture, say) hides the window; the half second starts again after
    // the answer, which goes back to the run as given.
    void questionsComeAboveTheWindow() {
        for (const bool answer : {false, true}) {
            QWidget parent;
            parent.show();
            ProgressDialog window(&parent, QStringLiteral("Capturing records..."));
            struct Watching final : Prompter {
                ProgressDialog* window = nullptr;
                test::RecordingPrompter inner;
                QList<bool> windowShown;
                void message(const QString& text) override { inner.message(text); }
                bool ask(const QString& question) override {
                    windowShown << window->dialog().isVisible();
                    return inner.ask(question);
                }
            } user;
            user.window = &window;
            user.inner.answers.enqueue(answer);
            window.progress().step(0, 10);
            QThread::msleep(ProgressDialog::kShowAfterMs + 100);
            window.progress().step(5, 10);
            QVERIFY(window.dialog().isVisible());
            QCOMPARE(window.above(user).ask(QStringLiteral("Record a 2:1 split of ACME?")), answer);
            QCOMPARE(user.windowShown, QList<bool>{false});
            window.progress().step(6, 10);
            QVERIFY(!window.dialog().isVisible());
            QThread::msleep(ProgressDialog::kShowAfterMs + 100);
            window.progress().step(7, 10);
            QVERIFY(window.dialog().isVisible());
            // A window the run opens gets the same room.
            {
                const ProgressDialog::Pause pause(window);
                window.progress().step(8, 10);
                QVERIFY(!window.dialog().isVisible());
            }
        }
    }
};

GAINBOOK_TEST(TestProgressDialog)
#include "test_progress_dialog.moc"
