#pragma once

#include "platform/asset_kind.h"

#include <QDate>
#include <QString>

namespace gainbook {

// What a parser is told besides the page: the filing fields and the check
// boxes as they stand when "Capture Data" is pressed.
struct CaptureSettings {
    QString account;            // "AccountName"
    QString month;              // "Txn Month"
    bool deriveFromData = true; // "Derive from Data": take the account from the page
    bool pasteData = false;     // "Paste Data": read pastedText instead of the page
    QString pastedText;         // the paste box
    // The time zone whose calendar dates an exchange's timestamps ("UTC",
    // "America/New_York", "UTC-05:00"); empty: UTC, as the exchanges keep
    // their books.
    QString zone;
    // Future dates in spreadsheets are pulled back into the tax year; tests
    // fix "today" so the rule does not drift with the calendar.
    QDate today = QDate::currentDate();
    // The store's asset kinds, so that a broker's withdrawal or deposit of a
    // coin is read as a send or a receive rather than as cash; without a
    // store only the well-known coins are digital.
    AssetKinds assetKinds;
};

} // namespace gainbook
