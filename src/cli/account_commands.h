#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

// account-basis ACCOUNT [yes|no|none]: sets whether the account's broker
// reports the cost basis to the IRS, which picks the Form 8949 box of the
// tax records its next processing run or recalculation writes. Without the
// word, prints the setting.
int runAccountBasis(CliSession& session, const QStringList& args);

// account-wash ACCOUNT [--detect on|off] [--other-accounts on|off]
// [--ira on|off]: the account's wash-sale settings; a change brings the
// store's wash sales in line at once. Without options, prints them.
int runAccountWash(CliSession& session, const QStringList& args);

// asset-kind [SYMBOL [digital|security]]: sets whether a symbol is a
// digital asset wherever it appears; without the word prints its kind, and
// without the symbol lists the symbols set.
int runAssetKind(CliSession& session, const QStringList& args);

// account-assets ACCOUNT [digital|securities|mixed]: what the account holds.
int runAccountAssets(CliSession& session, const QStringList& args);

// wash-digital [on|off]: whether the wash-sale rule is applied to digital
// assets too.
int runWashDigital(CliSession& session, const QStringList& args);

// wash-options [on|off]: whether options of another strike or expiry on one
// underlying replace each other.
int runWashOptions(CliSession& session, const QStringList& args);

// wash ACCOUNT: each wash sale of the tax year with its replacement lots
// (CSV).
int runWash(CliSession& session, const QStringList& args);

} // namespace gainbook
