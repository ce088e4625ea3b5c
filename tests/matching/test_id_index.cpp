#include "matching/id_index.h"
#include "support/test_main.h"

#include <QHash>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using namespace gainbook;

// The index finds each ID where a hash of the same IDs would: the last
// position given, -1 for an ID not given.
class TestIdIndex : public QObject {
    Q_OBJECT

private slots:
    void findsAsAHash_data() {
        constexpr qint64 kMin = std::numeric_limits<qint64>::min();
        constexpr qint64 kMax = std::numeric_limits<qint64>::max();
        QTest::addColumn<QVector<qint64>>("ids");
        QTest::addColumn<qint64>("spread"); // else random IDs from [1000, 1000 + spread)
        QTest::addColumn<int>("count");
        const auto given = [](const char* name, const QVector<qint64>& ids) {
            QTest::newRow(name) << ids << qint64(0) << 0;
        };
        given("none", {});
        given("dense, out of order, one given twice", {4, 2, 3, 1, 7, 6, 3});
        given("gaps within the table", {1, 100, 50, 1000});
        given("too thin for a table, one given twice", {7, 1000000000000, 7, 1, 5});
        given("negative IDs", {-3, -1, -2, 0});
        given("the ends of the range", {kMin, kMax, 0, kMax - 1, kMin + 1});
        QTest::newRow("random, a table's IDs") << QVector<qint64>{} << qint64(3000) << 2000;
        QTest::newRow("random, at the edge of a table")
            << QVector<qint64>{} << qint64(4 * 500 + 1024) << 500;
        QTest::newRow("random, spread thin") << QVector<qint64>{} << (qint64(1) << 40) << 500;
    }
    void findsAsAHash() {
        QFETCH(QVector<qint64>, ids);
        QFETCH(qint64, spread);
        QFETCH(int, count);
        QRandomGenerator random(42);
        for (int i = 0; i < count; ++i)
            ids.append(1000 + qint64(random.bounded(quint64(spread))));
        const IdIndex index(ids.size(), [&](qsizetype i) { return ids[i]; });
        QHash<qint64, qsizetype> positions;
        for (qsizetype i = 0; i < ids.size(); ++i)
            positions.insert(ids[i], i);
        QVector<qint64> probes{-1, 0, 1, 5, 99, 100, 101, 1024, 1200};
        for (const qint64 id : std::as_const(ids)) {
            probes << id;
            if (id > std::numeric_limits<qint64>::min())
                probes << id - 1;
            if (id < std::numeric_limits<qint64>::max())
                probes << id + 1;
        }
        for (const qint64 id : std::as_const(probes))
            QCOMPARE(index.find(id), positions.value(id, -1));
    }
};

GAINBOOK_APPLESS_TEST(TestIdIndex)
#include "test_id_index.moc"
