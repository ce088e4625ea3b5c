#pragma once

#include "platform/asset_kind.h"
#include "platform/holding_term.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace gainbook {

// The box of Form 8949 a sale is reported in. A, B and C hold short-term
// sales, D, E and F long-term ones; within a term the box says whether the
// broker reported the cost basis to the IRS. From 2025 digital assets have
// boxes of their own: G, H and I short term, J, K and L long term, on Form
// 1099-DA in place of 1099-B. None: the term is unknown.
enum class Form8949Box { None, A, B, C, D, E, F, G, H, I, J, K, L };

// The first year whose sales of digital assets go in boxes G to L.
inline constexpr int kFirstDigitalBoxYear = 2025;

// What an account's broker tells the IRS about the cost basis of its sales.
enum class BasisReporting {
    Reported,    // on Form 1099-B with the basis: A or D
    NotReported, // on Form 1099-B without the basis: B or E
    NoForm,      // not on Form 1099-B at all: C or F
};

Form8949Box boxFor(HoldingTerm term, BasisReporting basis);
// The same for a sale on dateSold: a digital asset sold in 2025 or later
// takes G to L, before then the boxes of its year.
Form8949Box boxFor(HoldingTerm term, BasisReporting basis, AssetKind kind, const QDate& dateSold);

// Whether the box is one of the digital assets' (G to L).
bool isDigitalBox(Form8949Box box);

// The term the box stands for (Unknown for None).
HoldingTerm boxTerm(Form8949Box box);

// "A" to "L"; empty for None.
QString boxLetter(Form8949Box box);
// The twelve letters, in form order: the short-term boxes (A, B, C, G, H,
// I), then the long-term ones.
QStringList boxLetters();
// A letter A-L in either case, blanks around it allowed; an empty text is
// None. Nothing for any other text.
std::optional<Form8949Box> boxFromLetter(const QString& text);

// The words the setting is typed and stored as: "yes", "no", "none".
QString basisWord(BasisReporting basis);
std::optional<BasisReporting> basisFromWord(const QString& word);

} // namespace gainbook
