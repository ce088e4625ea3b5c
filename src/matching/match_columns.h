#pragma once

#include "matching/match_row.h"
#include "platform/record_columns.h"

namespace gainbook {

using MatchTableRow = RecordRow<MatchRow>;

// How the matching grid shows its rows: the texts of matchRowTexts, every
// cell locked but a lot's box, which the user clears to detach the lot, and
// the "Add" button of a sell without a buy.
class MatchColumns final : public RecordColumns<MatchRow> {
public:
    QVector<GridColumn> layout() const override;
    QString text(const MatchRow& row, int col) const override;
    QString parse(MatchRow& row, int col, const QString& text) const override;
    SortKey sortKey(const MatchRow& row, int col) const override;
    CellKind kind(const MatchTableRow& row, int col, CellKind columnKind) const override;
    bool locked(const MatchTableRow& row, int col, bool columnLocked) const override;
    QString rowNote(const MatchRow& row) const override;
};

// The note on a lot of shares transferred in whose cost is not entered yet.
QString unknownCostLotNote();

} // namespace gainbook
