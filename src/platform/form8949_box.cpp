#include "platform/form8949_box.h"

namespace gainbook {

namespace {

constexpr char kLetters[] = "ABCDEFGHIJKL";
// Short term first, as the form lists its parts.
constexpr char kFormOrder[] = "ABCGHIDEFJKL";

} // namespace

Form8949Box boxFor(HoldingTerm term, BasisReporting basis) {
    if (term == HoldingTerm::Unknown)
        return Form8949Box::None;
    const int offset = basis == BasisReporting::Reported      ? 0
                       : basis == BasisReporting::NotReported ? 1
                                                              : 2;
    const int first = term == HoldingTerm::Short ? int(Form8949Box::A) : int(Form8949Box::D);
    return Form8949Box(first + offset);
}

Form8949Box boxFor(HoldingTerm term, BasisReporting basis, AssetKind kind, const QDate& dateSold) {
    const Form8949Box box = boxFor(term, basis);
    if (box == Form8949Box::None || kind != AssetKind::Digital || !dateSold.isValid() ||
        dateSold.year() < kFirstDigitalBoxYear)
        return box;
    // G to L follow A to F in the same order, six letters on.
    return Form8949Box(int(box) + 6);
}

bool isDigitalBox(Form8949Box box) {
    return int(box) >= int(Form8949Box::G);
}

HoldingTerm boxTerm(Form8949Box box) {
    if (box == Form8949Box::None)
        return HoldingTerm::Unknown;
    const int inSix = (int(box) - int(Form8949Box::A)) % 6;
    return inSix < 3 ? HoldingTerm::Short : HoldingTerm::Long;
}

QString boxLetter(Form8949Box box) {
    if (box == Form8949Box::None)
        return {};
    return QString(QChar::fromLatin1(kLetters[int(box) - int(Form8949Box::A)]));
}

QStringList boxLetters() {
    QStringList letters;
    for (int i = 0; kFormOrder[i] != '\0'; ++i)
        letters << QString(QChar::fromLatin1(kFormOrder[i]));
    return letters;
}

std::optional<Form8949Box> boxFromLetter(const QString& text) {
    const QString letter = text.trimmed().toUpper();
    if (letter.isEmpty())
        return Form8949Box::None;
    if (letter.size() != 1)
        return std::nullopt;
    for (int i = 0; kLetters[i] != '\0'; ++i) {
        if (letter[0] == QLatin1Char(kLetters[i]))
            return Form8949Box(int(Form8949Box::A) + i);
    }
    return std::nullopt;
}

QString basisWord(BasisReporting basis) {
    switch (basis) {
    case BasisReporting::Reported:
        return QStringLiteral("yes");
    case BasisReporting::NotReported:
        return QStringLiteral("no");
    case BasisReporting::NoForm:
        return QStringLiteral("none");
    }
    return QStringLiteral("yes");
}

std::optional<BasisReporting> basisFromWord(const QString& word) {
    const QString folded = word.trimmed().toLower();
    for (BasisReporting basis :
         {BasisReporting::Reported, BasisReporting::NotReported, BasisReporting::NoForm}) {
        if (folded == basisWord(basis))
            return basis;
    }
    return std::nullopt;
}

} // namespace gainbook
