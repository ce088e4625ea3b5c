#include "capture/trade_words.h"

#include "store/records.h"

#include <QRegularExpression>
#include <QStringList>

namespace gainbook {

namespace {

// The text begins with phrase, followed by its end or a character that is
// not a letter ("BUY TO OPEN", "YOU BOUGHT APPLE INC (AAPL)").
bool beginsWith(const QString& text, const QString& phrase) {
    return text.startsWith(phrase) &&
           (text.size() == phrase.size() || !text[phrase.size()].isLetter());
}

bool beginsWithAny(const QString& text, const QStringList& phrases) {
    for (const QString& phrase : phrases)
        if (beginsWith(text, phrase))
            return true;
    return false;
}

bool hasWord(const QStringList& words, const QStringList& wanted) {
    for (const QString& w : words)
        if (wanted.contains(w))
            return true;
    return false;
}

// The words that say a trade opens or closes a position, with the trade
// they make: a short sale or a written option opens with a sell and closes
// with a buy.
struct OpenCloseWords {
    const char* type;
    const char* openClose;
    QStringList phrases;
};

const QVector<OpenCloseWords>& openCloseWords() {
    static const QVector<OpenCloseWords> words{
        {"Sold",
         "Open",
         {"SS", "STO", "SELL SHORT", "SOLD SHORT", "SHORT SALE", "SELL TO OPEN", "SOLD TO OPEN"}},
        {"Bought",
         "Close",
         {"BC", "BTC", "BUY TO COVER", "BOUGHT TO COVER", "BUY TO CLOSE", "BOUGHT TO CLOSE"}},
        {"Bought", "Open", {"BTO", "BUY TO OPEN", "BOUGHT TO OPEN"}},
        {"Sold", "Close", {"STC", "SELL TO CLOSE", "SOLD TO CLOSE"}},
        // An option closed by an event: captured as the sale of a long
        // option, which processing turns round when the account was short.
        {"Sold", "Expired", {"OEXP", "EXPIRED", "EXPIRATION", "OPTION EXPIRATION", "EXPIRE"}},
        {"Sold", "Assigned", {"OASGN", "ASSIGNED", "OPTION ASSIGNMENT"}},
        {"Sold",
         "Exercised",
         {"OEXCS", "EXERCISED", "EXERCISE", "EXCHANGE OR EXERCISE", "OPTION EXERCISE"}},
    };
    return words;
}

const OpenCloseWords* openCloseOf(const QString& upper) {
    for (const OpenCloseWords& words : openCloseWords())
        if (beginsWithAny(upper, words.phrases))
            return &words;
    return nullptr;
}

} // namespace

QString openCloseWord(const QString& text) {
    const OpenCloseWords* words = openCloseOf(text.simplified().toUpper());
    return words ? QString::fromLatin1(words->openClose) : QString();
}

TradeWord tradeWord(const QString& text) {
    const QString t = text.simplified().toUpper();
    if (const OpenCloseWords* words = openCloseOf(t))
        return {QString::fromLatin1(words->type), {}, QString::fromLatin1(words->openClose)};
    // Fund subscriptions and redemptions are a fund's buys and sells; older
    // sheets name them so.
    static const QStringList buys = {
        "BUY",        "BOUGHT",          "BOT",          "PURCHASE",    "PURCHASED",
        "YOU BOUGHT", "REINVEST SHARES", "REINVESTMENT", "SUBSCRIPTION"};
    static const QStringList sells = {"SELL",     "SOLD",       "SLD",     "SALE",
                                      "YOU SOLD", "REDEMPTION", "REDEEMED"};
    if (t == u"B" || beginsWithAny(t, buys))
        return {kBought, {}};
    if (t == u"S" || beginsWithAny(t, sells))
        return {kSold, {}};

    static const QRegularExpression nonLetters(QStringLiteral("[^A-Z]+"));
    const QStringList words = t.split(nonLetters, Qt::SkipEmptyParts);
    static const QStringList dividend = {"DIVIDEND",     "DIV",       "CDIV",   "DIVIDENDS",
                                         "DISTRIBUTION", "QUALIFIED", "CAPITAL"};
    static const QStringList interest = {"INTEREST", "INT"};
    static const QStringList split = {"SPLIT", "SPL"};
    static const QStringList journal = {"JOURNAL", "JOURNALED", "JNL"};
    static const QStringList fee = {"FEE", "FEES", "COMMISSION", "CHARGE", "TAX", "WITHHOLDING"};
    static const QStringList transfer = {"TRANSFER",     "TRANSFERRED", "ACH",        "WIRE",
                                         "MONEYLINK",    "DEPOSIT",     "WITHDRAWAL", "SWEEP",
                                         "CONTRIBUTION", "CHECK"};
    if (hasWord(words, dividend))
        return {{}, QStringLiteral("dividend")};
    if (hasWord(words, interest))
        return {{}, QStringLiteral("interest")};
    if (hasWord(words, split))
        return {{}, QStringLiteral("split")};
    if (hasWord(words, journal))
        return {{}, QStringLiteral("journal")};
    if (hasWord(words, fee))
        return {{}, QStringLiteral("fee")};
    if (hasWord(words, transfer))
        return {{}, QStringLiteral("transfer")};
    return {{}, QStringLiteral("other")};
}

bool isAccountKindWord(const QString& text) {
    const QString t = text.trimmed().toUpper();
    return t == u"CASH" || t == u"MARGIN" || t == u"SHORT";
}

} // namespace gainbook
