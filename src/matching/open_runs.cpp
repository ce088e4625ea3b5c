#include "matching/open_runs.h"

#include <algorithm>

namespace gainbook {

QVector<OpenPiece> cutOpenRun(Quantity first, Quantity last,
                              const QVector<LotAdjustRecord>& adjustments) {
    QVector<Quantity> ends{first, last};
    for (const LotAdjustRecord& row : adjustments) {
        for (const Quantity end : {row.firstShare, row.firstShare + row.shares}) {
            if (first < end && end < last)
                ends.append(end);
        }
    }
    std::sort(ends.begin(), ends.end());
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    QVector<OpenPiece> pieces;
    for (qsizetype i = 0; i + 1 < ends.size(); ++i) {
        OpenPiece& piece = pieces.emplace_back();
        piece.from = ends[i];
        piece.to = ends[i + 1];
        for (const LotAdjustRecord& row : adjustments) {
            if (row.firstShare <= piece.from && piece.to <= row.firstShare + row.shares) {
                piece.addedCost += row.addedCost.scaled(piece.to - piece.from, row.shares);
                piece.daysBack = row.daysBack;
            }
        }
    }
    return pieces;
}

} // namespace gainbook
