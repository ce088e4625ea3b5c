#pragma once

#include "capture/parse_result.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace gainbook {

class Prompter;
class SettingsStore;

// How the account numbers a download names become the accounts its rows are
// kept under: the names given for this run (the tool's --account-map), then
// those remembered from earlier captures, then the user's answer.
struct AccountNaming {
    QMap<QString, QString> given;        // number -> name
    SettingsStore* remembered = nullptr; // none: nothing is remembered
};

// The settings section the names are remembered in, one key per number.
QString accountNumbersSection();

// Puts the rows and proposed actions of each account number the download
// names under its name: given, remembered, or asked for through the
// prompter with a proposal (the download's own name and the number); a
// question not answered keeps the number. A name given or answered is
// remembered. Returns the names of the accounts the download says are an
// IRA, Roth or HSA.
QStringList nameDownloadAccounts(ParseResult& parsed, const AccountNaming& naming,
                                 Prompter& prompter);

} // namespace gainbook
