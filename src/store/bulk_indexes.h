#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace gainbook {

// A large batch of rows into a table that holds few: the table's secondary
// indexes are dropped before the rows go in and built again after them, one
// sort per index instead of a B-tree step per row and index. It pays only
// while the batch is the greater part of the table, since the rebuild sorts
// the rows that were there too; otherwise nothing is dropped. Both steps run
// in the caller's transaction, so a rollback (a failure, a cancel) brings
// the indexes back as they were.
class BulkIndexes {
public:
    // Drops the indexes when the batch pays for it. Throws StoreError.
    BulkIndexes(const QSqlDatabase& db, const QString& table, qint64 batchRows);

    // Builds the dropped indexes again; to be called before the commit.
    // Throws StoreError.
    void rebuild();

    bool dropped() const { return !creates_.isEmpty(); }

private:
    QSqlDatabase db_;
    QStringList creates_;
};

} // namespace gainbook
