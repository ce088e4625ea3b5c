#pragma once

#include <QString>
#include <QUrl>

namespace gainbook {

// Where the capture screen's browser goes for the text of its address box.
struct BrowserTarget {
    QUrl url;          // empty when the text names nothing
    QString sheetPath; // a spreadsheet file, shown as a sheet instead of a page
    bool isSheet() const { return !sheetPath.isEmpty(); }
};

// Reads the address box the way a user means it: an address with a scheme
// is taken as it stands; a file path becomes a file address, a relative name
// looked for first in the program's docs folder (the shipped pages) and then
// in the current directory; anything else (a bare host name such as
// "www.example.com") is taken as a web address. Spreadsheet files
// (".csv", ".xls", ".xlsx") come back with sheetPath set.
BrowserTarget browserTarget(const QString& text, const QString& docsFolder,
                            const QString& currentDirectory);

} // namespace gainbook
