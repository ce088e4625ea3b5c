#pragma once

#include "platform/instrument_name.h"
#include "store/records.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

// A lot as it stands on some date after the actions since its purchase:
// each share bought counts `factor` shares, and the lot carries `symbol`.
struct LotView {
    double factor = 1;
    QString symbol;
};

// The corporate actions of the store, indexed for the matching: which
// shares and which symbol a lot bought on one date holds on a later date.
// An action applies to a lot bought before its effective date and to a sale
// on or after it. Symbols compare as instruments (sameInstrument), for the
// action's symbol and the new one alike. Several actions of one lot on one
// day all apply, whatever their order: a split of the old or of the new
// name on the day of a change counts once.
class CorporateActions {
public:
    CorporateActions() = default;
    explicit CorporateActions(const QVector<CorpActionRecord>& actions);

    bool isEmpty() const { return actions_.isEmpty(); }

    // The lot bought as `symbol` on `bought`, seen on `at`.
    LotView lotAt(const QString& symbol, const QDate& bought, const QDate& at) const;

    // The instrument keys, other than the symbol's own, whose lots may carry
    // the symbol on `at` through symbol changes; those changed longest ago
    // first.
    QStringList originsOf(const QString& symbol, const QDate& at) const;

    // Whether any action names this symbol as its symbol or new symbol.
    bool touches(const QString& symbol) const;

private:
    // The actions of one instrument on one day, applied to the lot; moves
    // the key along a change.
    void applyDay(QString& key, QString& symbol, double& factor, const QDate& day) const;

    // The actions on the instrument of a key, and the changes into it, in
    // date order. Most keys have no relatives: theirs are the lists below.
    const QVector<int>* actionsOf(const QString& key) const;
    const QVector<int>* changesInto(const QString& key) const;
    const QVector<int>* withRelatives(const QHash<QString, QVector<int>>& index,
                                      QHash<QString, QVector<int>>& merged,
                                      const QString& key) const;

    QVector<CorpActionRecord> actions_;    // by effective date
    QHash<QString, QVector<int>> byKey_;   // by instrument key of the symbol, in date order
    QHash<QString, QVector<int>> intoKey_; // changes by key of the new symbol
    InstrumentKeys keys_;                  // of both
    // A key's own list joined with those of its relatives, made when first asked.
    mutable QHash<QString, QVector<int>> mergedBy_;
    mutable QHash<QString, QVector<int>> mergedInto_;
};

} // namespace gainbook
