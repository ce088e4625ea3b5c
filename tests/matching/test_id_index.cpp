#include "matching/id_index.h"
#include "support/test_main.h"

#include <QHash>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using namespace gainbook;

namespace {

// Where a hash of the same IDs finds each one: the last position given.
qsizetype expectedAt(const QVector<qint64>& ids, qint64 id) {
    QHash<qint64, qsizetype> positions;
    for (qsizetype i = 0; i < ids.size(); ++i)
        positions.insert(ids[i], i);
    return positions.value(id, -1);
}

} // namespace

class TestIdIndex : public QObject {
    Q_OBJECT

private slots:
    void findsAsAHash_data();
    void findsAsAHash();
    void randomIdsFindAsAHash_data();
    void randomIdsFindAsAHash();
};

void TestIdIndex::findsAsAHash_data() {
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    QTest::addColumn<QVector<qint64>>("ids");
    QTest::addColumn<QVector<qint64>>("probes");
    const QVector<qint64> around{-1, 0, 1, 2, 3, 4, 5, 6, 7, 99, 100, 101, 1024, 1200};
    QTest::newRow("none") << QVector<qint64>{} << around;
    QTest::newRow("one") << QVector<qint64>{5} << around;
    QTest::newRow("dense, out of order") << QVector<qint64>{4, 2, 3, 1, 7, 6} << around;
    QTest::newRow("gaps within the table") << QVector<qint64>{1, 100, 50, 1000} << around;
    QTest::newRow("given twice, dense") << QVector<qint64>{3, 4, 3, 5} << around;
    QTest::newRow("too thin for a table")
        << QVector<qint64>{1, 5, 1000000000000, 100} << around + QVector<qint64>{1000000000000};
    QTest::newRow("given twice, thin")
        << QVector<qint64>{7, 1000000000000, 7, 1} << around + QVector<qint64>{1000000000000};
    QTest::newRow("negative IDs") << QVector<qint64>{-3, -1, -2, 0}
                                  << QVector<qint64>{-4, -3, -2, -1, 0, 1};
    QTest::newRow("the ends of the range")
        << QVector<qint64>{kMin, kMax, 0}
        << QVector<qint64>{kMin, kMin + 1, -1, 0, 1, kMax - 1, kMax};
    QTest::newRow("just below the top")
        << QVector<qint64>{kMax, kMax - 1} << QVector<qint64>{kMin, 0, kMax - 2, kMax - 1, kMax};
    QTest::newRow("just above the bottom")
        << QVector<qint64>{kMin + 1, kMin} << QVector<qint64>{kMin, kMin + 1, kMin + 2, 0, kMax};
}

void TestIdIndex::findsAsAHash() {
    QFETCH(QVector<qint64>, ids);
    QFETCH(QVector<qint64>, probes);
    const IdIndex index(ids.size(), [&](qsizetype i) { return ids[i]; });
    for (const qint64 id : std::as_const(probes))
        QCOMPARE(index.find(id), expectedAt(ids, id));
    for (const qint64 id : std::as_const(ids))
        QCOMPARE(index.find(id), expectedAt(ids, id));
}

void TestIdIndex::randomIdsFindAsAHash_data() {
    QTest::addColumn<qint64>("spread"); // IDs drawn from [base, base + spread)
    QTest::addColumn<int>("count");
    QTest::newRow("a table's IDs") << qint64(3000) << 2000;
    QTest::newRow("at the edge of a table") << qint64(4 * 500 + 1024) << 500;
    QTest::newRow("spread thin") << (qint64(1) << 40) << 500;
}

void TestIdIndex::randomIdsFindAsAHash() {
    QFETCH(qint64, spread);
    QFETCH(int, count);
    QRandomGenerator random(42);
    const qint64 base = 1000;
    QVector<qint64> ids;
    for (int i = 0; i < count; ++i)
        ids.append(base + qint64(random.bounded(quint64(spread))));
    const IdIndex index(ids.size(), [&](qsizetype i) { return ids[i]; });
    QHash<qint64, qsizetype> positions;
    for (qsizetype i = 0; i < ids.size(); ++i)
        positions.insert(ids[i], i);
    for (const qint64 id : std::as_const(ids)) {
        QCOMPARE(index.find(id), positions.value(id));
        QCOMPARE(index.find(id + 1), positions.value(id + 1, -1));
        QCOMPARE(index.find(id - 1), positions.value(id - 1, -1));
    }
}

GAINBOOK_APPLESS_TEST(TestIdIndex)
#include "test_id_index.moc"
