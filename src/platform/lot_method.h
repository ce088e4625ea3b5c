#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

// The order in which a sell takes an account's open buys of an instrument.
// Specific identification is not among them: it is the lots chosen by hand
// on the buy selection screen.
enum class LotMethod {
    Fifo,    // oldest first
    Lifo,    // newest first
    Highest, // highest cost a share first
    Lowest,  // lowest cost a share first
    Average, // one average cost a share per instrument; the oldest shares go first for the term
};

// Every method, in the order the what-if table shows them.
const QVector<LotMethod>& allLotMethods();

// The words the method is typed and stored as: "fifo", "lifo", "highest",
// "lowest", "average".
QString lotMethodWord(LotMethod method);
// The word in either case, blanks around it allowed; nothing for another.
std::optional<LotMethod> lotMethodFromWord(const QString& word);
// "First in, first out" and the like, as screens and tables name it.
QString lotMethodName(LotMethod method);

// The method of one account: its own, and the instruments that differ from
// it, by instrumentKey.
struct AccountLotMethods {
    LotMethod method = LotMethod::Fifo;
    QHash<QString, LotMethod> bySymbol;

    // The method of the instrument of that key.
    LotMethod of(const QString& key) const { return bySymbol.value(key, method); }
    // Whether any instrument goes another way than oldest first.
    bool allFifo() const;
};

} // namespace gainbook
