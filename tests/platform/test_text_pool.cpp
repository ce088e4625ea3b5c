#include "platform/text_pool.h"
#include "support/test_main.h"

#include <QTest>

using namespace gainbook;

class TestTextPool : public QObject {
    Q_OBJECT

private slots:
    // A repeated text comes back as the one copy the pool holds; NULL and
    // '' stay apart, since the store tells them apart.
    void sharesRepeatsAndKeepsNull() {
        TextPool pool;
        const QString first = pool.of(QStringView(u"AAPL"));
        const QString again = pool.of(QString(QStringLiteral("AAPL")));
        QCOMPARE(again, first);
        QCOMPARE(again.constData(), first.constData());

        QVERIFY(!pool.of(QStringView(u"")).isNull());
        QVERIFY(pool.of(QStringView()).isNull());
        QVERIFY(pool.of(QString()).isNull());
    }
};

GAINBOOK_APPLESS_TEST(TestTextPool)
#include "test_text_pool.moc"
