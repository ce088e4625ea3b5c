#include "platform/form8949_box.h"

namespace gainbook {

namespace {

constexpr char kLetters[] = "ABCDEF";

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

HoldingTerm boxTerm(Form8949Box box) {
    if (box == Form8949Box::None)
        return HoldingTerm::Unknown;
    return int(box) < int(Form8949Box::D) ? HoldingTerm::Short : HoldingTerm::Long;
}

QString boxLetter(Form8949Box box) {
    if (box == Form8949Box::None)
        return {};
    return QString(QChar::fromLatin1(kLetters[int(box) - int(Form8949Box::A)]));
}

QStringList boxLetters() {
    QStringList letters;
    for (int box = int(Form8949Box::A); box <= int(Form8949Box::F); ++box)
        letters << boxLetter(Form8949Box(box));
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
