#pragma once

#include "platform/holding_term.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace gainbook {

// The box of Form 8949 a sale is reported in. A, B and C hold short-term
// sales, D, E and F long-term ones; within a term the box says whether the
// broker reported the cost basis to the IRS. None: the term is unknown.
enum class Form8949Box { None, A, B, C, D, E, F };

// What an account's broker tells the IRS about the cost basis of its sales.
enum class BasisReporting {
    Reported,    // on Form 1099-B with the basis: A or D
    NotReported, // on Form 1099-B without the basis: B or E
    NoForm,      // not on Form 1099-B at all: C or F
};

Form8949Box boxFor(HoldingTerm term, BasisReporting basis);

// The term the box stands for (Unknown for None).
HoldingTerm boxTerm(Form8949Box box);

// "A" to "F"; empty for None.
QString boxLetter(Form8949Box box);
// The six letters, in form order.
QStringList boxLetters();
// A letter A-F in either case, blanks around it allowed; an empty text is
// None. Nothing for any other text.
std::optional<Form8949Box> boxFromLetter(const QString& text);

// The words the setting is typed and stored as: "yes", "no", "none".
QString basisWord(BasisReporting basis);
std::optional<BasisReporting> basisFromWord(const QString& word);

} // namespace gainbook
