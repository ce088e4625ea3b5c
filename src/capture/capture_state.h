#pragma once

#include "platform/next_token.h"

#include <QDate>
#include <QString>

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
    QString status;             // the status line along the bottom

    // Rows written by the current run.
    int AddedCount = 0;

    // The word being looked at in page text and the one before it.
    QString CurToken;
    QString PrevToken;
    Tokenizer tokenizer;

    // Future dates in spreadsheets are pulled back into the tax year; tests
    // fix "today" so the rule does not drift with the calendar.
    QDate today = QDate::currentDate();

    // The fields as the screen shows them when it first opens.
    static CaptureState initial();
};

} // namespace gainbook
