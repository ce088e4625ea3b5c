#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

// account-basis ACCOUNT [yes|no|none]: sets whether the account's broker
// reports the cost basis to the IRS, which picks the Form 8949 box of the
// tax records its next processing run or recalculation writes. Without the
// word, prints the setting.
int runAccountBasis(CliSession& session, const QStringList& args);

} // namespace gainbook
