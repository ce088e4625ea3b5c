#pragma once

#include "capture/account_naming.h"
#include "capture/capture_settings.h"
#include "capture/column_mapping.h"

#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// What the capture screen's fields hold while a capture runs: the screen
// fills it before "Capture Data" and takes the fields back afterwards, since
// some parsers read the account and month from the page. The command-line
// tool and the tests fill it the same way.
struct CaptureState {
    QString entry;              // the broker list entry chosen
    QString address;            // the file name or address box
    QString account;            // "AccountName"
    QString month;              // "Txn Month"
    bool deriveFromData = true; // "Derive from Data"
    bool pasteData = false;     // "Paste Data"
    bool pasteEnabled = false;  // whether "Paste Data" may be checked
    QString pastedText;         // the paste box
    QString zone;               // the time zone of exchanges' timestamps; empty: UTC
    QString status;             // the status line along the bottom
    // A saved column mapping chosen in place of a broker entry; entry then
    // holds its name.
    std::optional<ColumnMapping> mapping;
    // The names for the account numbers a download names row by row.
    AccountNaming accountNames;

    // Future dates in spreadsheets are pulled back into the tax year; tests
    // fix "today" so the rule does not drift with the calendar.
    QDate today = QDate::currentDate();

    // What a parser is told of the fields.
    CaptureSettings settings() const;

    // The fields as the screen shows them when it first opens.
    static CaptureState initial();
};

} // namespace gainbook
