#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace gainbook {

// What a symbol is for the tax rules: a security (stock, fund, option) or a
// digital asset (a coin or token), which is property and no security.
enum class AssetKind { Security, Digital };

// What an account holds. Mixed (the default) lets each symbol decide: the
// well-known coins and the symbols set digital are digital assets, the rest
// securities.
enum class AccountAssets { Mixed, Securities, Digital };

// "security", "digital"; typed in either case.
QString assetKindWord(AssetKind kind);
std::optional<AssetKind> assetKindFromWord(const QString& word);

// "mixed", "securities", "digital"; typed in either case.
QString accountAssetsWord(AccountAssets assets);
std::optional<AccountAssets> accountAssetsFromWord(const QString& word);

// Whether the symbol is one of the well-known coins and stablecoins.
bool isWellKnownCoin(const QString& symbol);

// The asset kinds of a store: the symbols set by hand (by instrument key)
// and the accounts that hold one kind only.
struct AssetKinds {
    QHash<QString, AssetKind> bySymbol;
    QHash<QString, AccountAssets> byAccount;

    // What the symbol alone says, so that a run over many trades of one
    // symbol looks it up once.
    struct SymbolFacts {
        std::optional<AssetKind> set; // by hand
        bool wellKnown = false;
    };
    SymbolFacts factsOf(const QString& symbol) const;
    AssetKind of(const QString& account, const SymbolFacts& facts) const;

    // A symbol set by hand wins, then an account of one kind, then the
    // well-known coins; anything else is a security.
    AssetKind of(const QString& account, const QString& symbol) const;
    bool isDigital(const QString& account, const QString& symbol) const {
        return of(account, symbol) == AssetKind::Digital;
    }
};

} // namespace gainbook
