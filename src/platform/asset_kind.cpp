#include "platform/asset_kind.h"

#include "platform/instrument_name.h"

#include <QFile>
#include <QSet>

namespace gainbook {

namespace {

const QSet<QString>& wellKnownCoins() {
    static const QSet<QString> coins = [] {
        QSet<QString> read;
        QFile file(QStringLiteral(":/gainbook/digital_assets.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return read;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (!line.isEmpty() && !line.startsWith(u'#'))
                read.insert(instrumentKey(line));
        }
        return read;
    }();
    return coins;
}

template <typename Enum, size_t N>
std::optional<Enum> assetEnumFromWord(const QString& word, const Enum (&all)[N],
                                      QString (*wordOf)(Enum)) {
    const QString folded = word.trimmed().toLower();
    for (const Enum value : all) {
        if (folded == wordOf(value))
            return value;
    }
    return std::nullopt;
}

} // namespace

QString assetKindWord(AssetKind kind) {
    return kind == AssetKind::Digital ? QStringLiteral("digital") : QStringLiteral("security");
}

std::optional<AssetKind> assetKindFromWord(const QString& word) {
    static const AssetKind all[] = {AssetKind::Security, AssetKind::Digital};
    return assetEnumFromWord(word, all, assetKindWord);
}

QString accountAssetsWord(AccountAssets assets) {
    switch (assets) {
    case AccountAssets::Securities:
        return QStringLiteral("securities");
    case AccountAssets::Digital:
        return QStringLiteral("digital");
    case AccountAssets::Mixed:
        break;
    }
    return QStringLiteral("mixed");
}

std::optional<AccountAssets> accountAssetsFromWord(const QString& word) {
    static const AccountAssets all[] = {AccountAssets::Mixed, AccountAssets::Securities,
                                        AccountAssets::Digital};
    return assetEnumFromWord(word, all, accountAssetsWord);
}

bool isWellKnownCoin(const QString& symbol) {
    return wellKnownCoins().contains(instrumentKey(symbol));
}

AssetKinds::SymbolFacts AssetKinds::factsOf(const QString& symbol) const {
    const QString key = instrumentKey(symbol);
    SymbolFacts facts;
    if (const auto set = bySymbol.constFind(key); set != bySymbol.cend())
        facts.set = *set;
    facts.wellKnown = wellKnownCoins().contains(key);
    return facts;
}

AssetKind AssetKinds::of(const QString& account, const QString& symbol) const {
    return of(account, factsOf(symbol));
}

AssetKind AssetKinds::of(const QString& account, const SymbolFacts& facts) const {
    if (facts.set)
        return *facts.set;
    switch (byAccount.value(account, AccountAssets::Mixed)) {
    case AccountAssets::Securities:
        return AssetKind::Security;
    case AccountAssets::Digital:
        return AssetKind::Digital;
    case AccountAssets::Mixed:
        break;
    }
    return facts.wellKnown ? AssetKind::Digital : AssetKind::Security;
}

} // namespace gainbook
