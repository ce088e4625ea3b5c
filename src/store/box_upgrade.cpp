#include "store/box_upgrade.h"

#include "platform/date_text.h"
#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "store/schema.h"
#include "store/sql.h"

#include <QVector>

namespace gainbook {

void addFormBoxes(const QSqlDatabase& db) {
    runQuery(db, QStringLiteral("ALTER TABLE TaxRec ADD COLUMN Box TEXT NOT NULL DEFAULT ''"));
    runQuery(db, accountSettingsTable());

    // The term is worked out here rather than by date arithmetic in SQL,
    // whose year after Feb 29 is Mar 1 where the program's is Feb 28.
    struct Change {
        qint64 id;
        QString box;
    };
    QVector<Change> changes;
    QSqlQuery rows = runQuery(db, QStringLiteral("SELECT ID, DateAcquired, DateSold FROM TaxRec"));
    while (rows.next()) {
        const HoldingTerm term = holdingTerm(dateFromStored(rows.value(1).toString()),
                                             dateFromStored(rows.value(2).toString()));
        const Form8949Box box = boxFor(term, BasisReporting::Reported);
        if (box != Form8949Box::None)
            changes.append({rows.value(0).toLongLong(), boxLetter(box)});
    }
    rows.finish();

    QSqlQuery update = prepareQuery(db, QStringLiteral("UPDATE TaxRec SET Box = ? WHERE ID = ?"));
    for (const Change& change : std::as_const(changes))
        execQuery(update, {change.box, change.id});
}

} // namespace gainbook
