#pragma once

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
    QString prefix; // of symbol: its first 12 characters
};

// The corporate actions of the store, indexed for the matching: which
// shares and which symbol a lot bought on one date holds on a later date.
// An action applies to a lot bought before its effective date and to a sale
// on or after it. Symbols compare on their first 12 characters, for the
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
    // The same for a caller that knows the symbol's prefix already (the
    // matching, once per buy).
    LotView lotAt(const QString& symbol, const QString& prefix, const QDate& bought,
                  const QDate& at) const;

    // The 12-character prefixes, other than the symbol's own, whose lots may
    // carry the symbol on `at` through symbol changes; those changed longest
    // ago first.
    QStringList originsOf(const QString& symbol, const QDate& at) const {
        return originsOfPrefix(symbolPrefixOf(symbol), at);
    }
    QStringList originsOfPrefix(const QString& prefix, const QDate& at) const;

    // Whether any action names this prefix as its symbol or new symbol.
    bool touches(const QString& prefix) const {
        return byPrefix_.contains(prefix) || intoPrefix_.contains(prefix);
    }

private:
    static QString symbolPrefixOf(const QString& symbol);

    // The actions of one prefix on one day, applied to the lot; moves the
    // prefix along a change.
    void applyDay(QString& prefix, QString& symbol, double& factor, const QDate& day) const;

    QVector<CorpActionRecord> actions_;       // by effective date
    QHash<QString, QVector<int>> byPrefix_;   // by prefix of the symbol, in date order
    QHash<QString, QVector<int>> intoPrefix_; // changes by prefix of the new symbol
};

} // namespace gainbook
