#pragma once

#include "store/records.h"

#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// A row of a broker export that reports a corporate action rather than a
// trade: its words ("Stock Split", "Reverse Split", "Symbol change", ...),
// symbol and date, the change in shares it shows and the shares the account
// held that day before it. A symbol change names the new symbol when the
// export gives one.
struct ActionRow {
    QString words;
    QString account = {}; // where the row was filed
    QString symbol;
    QDate date;
    double sharesAdded = 0; // negative when the row takes shares away
    double sharesHeld = 0;
    QString newSymbol;
};

// Whether the words name a split or a symbol change (a merger or exchange
// of shares being one).
bool isCorpActionWords(const QString& words);
// Whether they name a symbol change, a merger or an exchange.
bool isChangeWords(const QString& words);

// The action the row implies: a split of (held + added) : held, reduced to
// a whole number to 1 (10:1) or 1 to a whole number (1:4) where it goes, or
// a change to the new symbol. A reverse split whose row shows the shares
// taken away as a positive number counts them as taken. None when the row
// does not say enough (no shares held, no new symbol, no date).
std::optional<CorpActionRecord> proposedAction(const ActionRow& row);

// "Record a 10:1 split of XYZ on 06/10/2024?", "Record the change of ABC
// to XYZ on 06/10/2024?"
QString proposalQuestion(const CorpActionRecord& action);

} // namespace gainbook
